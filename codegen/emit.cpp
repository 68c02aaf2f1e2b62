#include "codegen/emit.h"

#include <cstdarg>
#include <vector>

#include "codegen/generation_state.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "discrete/instances.h"

namespace {

std::string vtextf(const char *format, va_list arguments) {
  va_list measure;
  va_copy(measure, arguments);
  int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0)
    return "";
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, arguments);
  return std::string(buffer.data(), static_cast<size_t>(length));
}

}  // namespace

std::string textf(const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::string text = vtextf(format, arguments);
  va_end(arguments);
  return text;
}

void emitf(FILE *file, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::string text = vtextf(format, arguments);
  va_end(arguments);
  std::fputs(text.c_str(), file);
}

void emitClass(FILE *file, const std::string &text) {
  if (!in_gen_types)
    std::fputs(text.c_str(), file);
}

long modelClauseCount() {
  return DataManager::cls != nullptr ? static_cast<long>(DataManager::cls->size()) : 0;
}

std::string instancePart(const std::string &qualifiedName) {
  return qualifiedName.substr(0, qualifiedName.find('.'));
}

std::string memberPart(const std::string &qualifiedName) {
  size_t dot = qualifiedName.find('.');
  return dot == std::string::npos ? qualifiedName : qualifiedName.substr(dot + 1);
}

bool mutualComps(const Comp *component, const Comp *other) {
  if (!isIncludedInComp(component, other->typeName))
    return false;
  return other->generated || isIncludedInComp(other, component->typeName);
}

std::string memberFor(const Comp *component, const Comp *other) {
  if (mutualComps(component, other))
    return "";
  return component->findCorresDef(other->varName);
}
