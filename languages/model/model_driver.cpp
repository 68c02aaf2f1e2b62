#include "languages/model/model_driver.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "languages/model/model_builder.h"
#include "languages/model/model_parser.hpp"

typedef void *yyscan_t;
int model_lex_init_extra(ModelDriver *driver, yyscan_t *scanner);
void model_set_in(FILE *input, yyscan_t scanner);
int model_lex_destroy(yyscan_t scanner);
int modelScan(MODEL_STYPE *value, yyscan_t scanner);

ModelDriver::ModelDriver(FILE *input, const std::string &fileName, ModelBuilder &builder)
    : fileName(fileName), builder(builder) {
  model_lex_init_extra(this, &scanner);
  model_set_in(input, scanner);
}

ModelDriver::~ModelDriver() { model_lex_destroy(scanner); }

int ModelDriver::parse() { return model_parse(*this); }

int ModelDriver::nextToken(MODEL_STYPE *value) {
  int token = modelScan(value, scanner);
  // A model must start with its uses list; an empty file is an empty model.
  if (firstToken && token != USES && token != 0)
    missingUsesDeclaration();
  firstToken = false;
  return token;
}

const char *ModelDriver::keep(const std::string &text) { return texts.emplace_back(text).c_str(); }

void ModelDriver::beginList() {
  list.clear();
  current.clear();
}

void ModelDriver::endListItem() {
  list.push_back(current);
  current.clear();
}

bool ModelDriver::listHasEmptyItem() const {
  return std::any_of(list.begin(), list.end(), [](const std::string &item) { return item.empty(); });
}

std::vector<std::string> *ModelDriver::takeList() { return &lists.emplace_back(std::move(list)); }

bool ModelDriver::usesDeclaration(std::vector<std::string> *types) {
  return builder.declareUsedTypes(*types);
}

void ModelDriver::declareInstance(const char *type, const char *varName) {
  if (!builder.declareComponent(type, varName, position()))
    syntaxError("Variables parsing error\n");
}

void ModelDriver::instantiate(const char *varName, std::vector<std::string> *arguments) {
  builder.instantiateComponent(varName, *arguments, position());
}

void ModelDriver::endOfModel() { builder.finishModel(); }

void ModelDriver::syntaxError(const char *message) {
  // The parser's own words are replaced by the loader's.
  if (std::strcmp(message, "syntax error") == 0)
    message = "parse error";
  else if (std::strcmp(message, "memory exhausted") == 0)
    message = "parser stack overflow";
  ModelHybridParsererror(message, position());
}
