#include "codegen/emit.h"

#include <cstdarg>
#include <map>

#include "codegen/generation_state.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "discrete/instances.h"
#include "reasoning/itms.h"

namespace {

// Formats into a stack buffer first: most generated lines fit, and the
// format is then run once.
std::string vtextf(const char *format, va_list arguments) {
  char line[256];
  va_list retry;
  va_copy(retry, arguments);
  int length = std::vsnprintf(line, sizeof line, format, arguments);
  std::string text;
  if (length > 0 && static_cast<size_t>(length) < sizeof line) {
    text.assign(line, static_cast<size_t>(length));
  } else if (length > 0) {
    text.resize(static_cast<size_t>(length));
    std::vsnprintf(&text[0], text.size() + 1, format, retry);
  }
  va_end(retry);
  return text;
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

void emitClass(GenerationState &gen, FILE *file, const std::string &text) {
  if (!gen.typeGeneratedAlready)
    std::fputs(text.c_str(), file);
}

void emitClassf(GenerationState &gen, FILE *file, const char *format, ...) {
  if (gen.typeGeneratedAlready)
    return;
  va_list arguments;
  va_start(arguments, format);
  std::string text = vtextf(format, arguments);
  va_end(arguments);
  std::fputs(text.c_str(), file);
}

long modelClauseCount() {
  long compiled = DataManager::cls != nullptr ? static_cast<long>(DataManager::cls->size()) : 0;
  return compiled + (reasoner != nullptr ? reasoner->carriedClauses : 0);
}

std::string instancePart(const std::string &qualifiedName) {
  return qualifiedName.substr(0, qualifiedName.find('.'));
}

std::string memberPart(const std::string &qualifiedName) {
  size_t dot = qualifiedName.find('.');
  return dot == std::string::npos ? qualifiedName : qualifiedName.substr(dot + 1);
}

namespace {

// Per class, by the local name and type of the component reached: whether
// the class reaches it through cross-reference statements.
std::map<std::string, bool> mutualDecisions;

}  // namespace

bool mutualComps(GenerationState &gen, const Comp *component, const Comp *other) {
  const std::string key = component->typeName + "\n" + component->findCorresDef(other->varName) +
                          "\n" + other->typeName;
  if (gen.typeGeneratedAlready) {
    auto decided = mutualDecisions.find(key);
    if (decided != mutualDecisions.end())
      return decided->second;
  }
  bool mutual = isIncludedInComp(component, other->typeName) &&
                (other->generated || isIncludedInComp(other, component->typeName));
  if (!gen.typeGeneratedAlready)
    mutualDecisions[key] = mutual;
  return mutual;
}

void forgetMutualDecisions() { mutualDecisions.clear(); }

std::string memberFor(GenerationState &gen, const Comp *component, const Comp *other) {
  if (mutualComps(gen, component, other))
    return "";
  return component->findCorresDef(other->varName);
}
