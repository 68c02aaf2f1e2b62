#include "continuous/diagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int loadError = 0;
long nligne = 0;
std::string parsedFile;

namespace {

// Semantic messages, numbered from 1; the numbering is fixed because every
// checker refers to its message by number.
const char *const semMessages[] = {
    "multiple definition of symbolic constant.",
    "model already defined.",
    "undefined model.",
    "not enough actual parameters in instance.",
    "too many actual parameters in instance.",
    "contradicting type declarations.",
    "constant influence should have a parameter as cause.",
    "invalid operator in influence coefficient.",
    "initialization should be done with a parameter.",
    "parameter should be initialized.",
    "range: left bound is greater than right one.",
    "invalid relation operator before range.",
    "variable already defined.",
    "undefined variable in domain definition.",
    "undefined variable in interface listsarn.",
    "undefined variable in influence.",
    "undefined variable in condition.",
    "undefined variable in expression.",
    "undefined variable in initialization.",
    "unmatching types of parameters.",
    "invalid operator in variable declaration.",
    "static influence should have no response time.",
    "dynamic influence shouldn't have null response time.",
    "default value 1 assumed for gain.",
    "default value 0 assumed for delay.",
    "default value 0 assumed for response time.",
    "invalid operator in initialization.",
    "invalid object beside IN operator.",
    "no display variable.",
    "parameter in Input or Measure declaration.",
    "parameter in Display declaration.",
    "integral influence should have no response time.",
    "constant influence should have no coefficients.",
    "double definition of gain (first assumed).",
    "double definition of delay (first assumed).",
    "double definition of response time (first assumed).",
    "lower bound of delay shouldn't be null.",
    "delay shouldn't be negative.",
    "parameter shouldn't be effect in an influence.",
    "incompatible types in influences to the same variable:",
    "unequal response times to the same variable: please\n          explicitly introduce marginal variables.",
    "missing '=' in equation .",
    "gain range has not a unique sign.",
    "invalid left hand side in equation.",
    "invalid argument in exponentiation.",
    "variable should be initialized or measured.",
    "variable in condition should better be input or measure.",
    "component name or rule name already defined.",
    "block of rules not allowed inside a model.",
    "imbrication of models not allowed.",
    "instanciation not allowed inside a model.",
    "variable can't be both Input and Measure.",
    "closed loop in causal graph around variable:",
    "Input variable shouldn't be effect in an influence.",
    ".",
    ".",
    ".",
    ".",
    ".",
    "double definition of xi (first assumed).",
    "double definition of pulse (first assumed).",
    "double definition of zeros (first assumed).",
    "condition defined over different variables.",
    "conditions must be declared in a condition variable (CondVar).",
    "assume identity mapping function.",
    "equalities are not recommended in conditions unless you really know what you're doing !",
    "component not declared.",
    "unknown component type.",
    "wrong number of arguments to component.",
    "wrong type for component importation.",
    "header file not found.",
    "unknown error during variables parsing.",
    "variable not found.",
    "unknown atom.",
    "unused component variable.",
    "command in undefined.",
    "type not found in use declaration.",
    "unknown error during component parsing.",
    "undefined or imported variable in expression. \nConditions variables must not be defined on imported variables.",
    "no component of this type has been instanciated in the model.",
    "no unknown mode found.",
    "double definition of n1 (first assumed).",
    "double definition of n2 (first assumed).",
    "double definition of a0 (first assumed).",
    "double definition of a1 (first assumed).",
    "double definition of a2 (first assumed).",
    "incorrect second-order influences parameters: should be broken into two first-order influences.",
};

const char *const implMessages[] = {
    "too many model definitions.",
    "wrong booleean constant.",
    "too deep causal graph.",
    "file error.",
    "booleean object in code generation.",
    "invalid condition type.",
    "parameter defined from another parameter",
    "wrong relation operator in condition",
    "constant as global constraint",
};

template <size_t N>
std::string messageText(const char *const (&table)[N], int number) {
  if (number >= 1 && static_cast<size_t>(number) <= N)
    return table[number - 1];
  return "unknown message number " + std::to_string(number) + ".";
}

// Prints the report, a report at a line preceded by the file's name and ": "
// when it has one; true when it is an error, which must end the program.
bool printReport(const std::string &file, int kind, long line, int number, const char *detail) {
  std::string message = messageText(semMessages, number);
  const char *context = detail != nullptr ? detail : "";
  if ((kind == semErrorAtLine || kind == semWarningAtLine) && !file.empty())
    std::fprintf(stderr, "%s: ", file.c_str());
  switch (kind) {
  case semErrorAtLine:
    std::fprintf(stderr, "Line %ld: semantics error.\n  ...%s: %s\n", line, message.c_str(), context);
    return true;
  case semErrorNoLine:
    std::fprintf(stderr, "Semantics error.\n  ...%s: %s\n", message.c_str(), context);
    return true;
  case semWarningAtLine:
    std::fprintf(stderr, "Line %ld: warning.\n  ...%s: %s\n", line, message.c_str(), context);
    return false;
  default:
    std::fprintf(stderr, "Warning.\n  ...%s: %s\n", message.c_str(), context);
    return false;
  }
}

// The user fixes the model and starts again.
[[noreturn]] void endOnError() {
  loadError = 1;
  std::exit(1);
}

bool knownKind(int kind) { return kind >= semErrorAtLine && kind <= semWarningNoLine; }

}  // namespace

void semError(int kind, long line, int number, const char *detail) {
  if (knownKind(kind) && printReport(parsedFile, kind, line, number, detail))
    endOnError();
}

void semErrorAt(const SourcePosition &position, int kind, int number, const char *detail) {
  if (knownKind(kind) && printReport(position.file, kind, position.line, number, detail))
    endOnError();
}

void semErrorNaming(int kind, long line, int number, const std::string &name) {
  if (!knownKind(kind))
    return;
  bool error = printReport(parsedFile, kind, line, number, "");
  std::fprintf(stderr, "  %s\n", name.c_str());
  if (error)
    endOnError();
}

void implError(int number) {
  std::printf("Implementation error.\n ...%s\n", messageText(implMessages, number).c_str());
}
