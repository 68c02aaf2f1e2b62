// Reads a model file: the scanner and grammar call back here, and the
// actions declare and instantiate component instances through the builder.
#ifndef MORVEL_LANGUAGES_MODEL_DRIVER_H
#define MORVEL_LANGUAGES_MODEL_DRIVER_H

#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "continuous/diagnostics.h"

class ModelBuilder;
union MODEL_STYPE;

class ModelDriver {
 public:
  ModelDriver(FILE *input, const std::string &fileName, ModelBuilder &builder);
  ~ModelDriver();
  ModelDriver(const ModelDriver &) = delete;
  ModelDriver &operator=(const ModelDriver &) = delete;

  // Runs the parser: 0 on success, 1 when it gave up.
  int parse();

  // Scanner support.
  int nextToken(MODEL_STYPE *value);
  const char *keep(const std::string &text);
  void beginList();
  void endListItem();
  bool listHasEmptyItem() const;
  std::vector<std::string> *takeList();

  // Grammar actions. The uses list fails when a used type's definition file
  // is a directory.
  bool usesDeclaration(std::vector<std::string> *types);
  void declareInstance(const char *type, const char *varName);
  void instantiate(const char *varName, std::vector<std::string> *arguments);
  void endOfModel();
  // Reports a parse failure and ends the program.
  [[noreturn]] void syntaxError(const char *message);

  std::string fileName;  // the model file, named in reports
  long line = 1;        // current line of the model file
  std::string current;  // name being collected by a list mode

 private:
  SourcePosition position() const { return {fileName, line}; }

  ModelBuilder &builder;
  void *scanner = nullptr;
  bool firstToken = true;
  std::vector<std::string> list;
  std::deque<std::string> texts;
  std::deque<std::vector<std::string>> lists;
};

#endif
