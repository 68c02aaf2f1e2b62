#include "languages/definition/definition_driver.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "continuous/diagnostics.h"
#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/instances.h"
#include "discrete/state_var.h"
#include "languages/definition/definition_parser.hpp"

typedef void *yyscan_t;
int definition_lex_init_extra(DefinitionDriver *driver, yyscan_t *scanner);
void definition_set_in(FILE *input, yyscan_t scanner);
int definition_lex_destroy(yyscan_t scanner);
int definitionScan(DEFINITION_STYPE *value, yyscan_t scanner);

DefinitionDriver::DefinitionDriver(DefinitionPass pass, const char *fileName, FILE *input)
    : pass(pass), fileName(fileName),
      startToken(pass == DefinitionPass::Declaration ? DECLARATION_PASS : BEHAVIOUR_PASS) {
  definition_lex_init_extra(this, &scanner);
  definition_set_in(input, scanner);
  nligne = 1;
  outerParsedFile = parsedFile;
  parsedFile = fileName;
}

DefinitionDriver::~DefinitionDriver() {
  definition_lex_destroy(scanner);
  parsedFile = outerParsedFile;
}

int DefinitionDriver::parse() { return definition_parse(*this); }

int DefinitionDriver::nextToken(DEFINITION_STYPE *value) { return definitionScan(value, scanner); }

const char *DefinitionDriver::keep(const std::string &kept) { return texts.emplace_back(kept).c_str(); }

NameList *DefinitionDriver::keepNames() { return &nameLists.emplace_back(std::move(names)); }

void DefinitionDriver::newLine() { ++nligne; }

void DefinitionDriver::countLines(const char *scanned) {
  for (; *scanned; ++scanned)
    if (*scanned == '\n')
      ++nligne;
}

void DefinitionDriver::endListName() {
  names.push_back(text);
  text.clear();
}

PairList *DefinitionDriver::othersPairs() {
  PairList &pairs = pairLists.emplace_back();
  // Only the behaviour pass reads the list: pairs "Type formal" separated by
  // "," and an optional blank.
  if (pass == DefinitionPass::Behaviour) {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find(',', start);
      std::string pair = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
      size_t first = pair.find_first_not_of(" \t\r\n");
      if (first != std::string::npos) {
        pair = pair.substr(first);
        size_t blank = pair.find(' ');
        std::string type = pair.substr(0, blank);
        std::string formal = blank == std::string::npos ? "" : pair.substr(blank + 1);
        formal.erase(formal.find_last_not_of(" \t\r\n") + 1);
        pairs.emplace_back(type, formal);
      }
      if (end == std::string::npos)
        break;
      start = end + 1;
    }
  }
  text.clear();
  return &pairs;
}

void DefinitionDriver::beginDeclaration(StateVarKind kind) {
  declarationKind = kind;
  declarationLine = nligne;
  text.clear();
  names.clear();
}

void DefinitionDriver::nameDeclaration() {
  declarationName = text;
  text.clear();
}

namespace {

StateVar *newStateVar(StateVarKind kind) {
  switch (kind) {
  case StateVarKind::Mode:
    return new ModeVar();
  case StateVarKind::Observable:
    return new ObsVar();
  case StateVarKind::Command:
    return new CommandVar();
  case StateVarKind::Dependent:
    return new DependentVar();
  }
  return nullptr;
}

int declarationToken(StateVarKind kind) {
  switch (kind) {
  case StateVarKind::Mode:
    return MODEVAR_DECL;
  case StateVarKind::Observable:
    return OBSVAR_DECL;
  case StateVarKind::Command:
    return CMDVAR_DECL;
  case StateVarKind::Dependent:
    return DEPVAR_DECL;
  }
  return 0;
}

bool isBooleanWord(const std::string &word) {
  return word == "FALSE" || word == "false" || word == "TRUE" || word == "true";
}

} // namespace

int DefinitionDriver::endDeclaration(DEFINITION_STYPE *value) {
  std::string qualified = varName + "." + declarationName;
  if (pass == DefinitionPass::Behaviour) {
    value->stateVar = findDiscVariable(comp, qualified);
  } else {
    StateVar *variable = newStateVar(declarationKind);
    variable->setName(qualified);
    variable->setSymbName(declarationName);
    for (const std::string &written : names)
      variable->addValue(written);
    variable->createAtoms();
    if (!names.empty()) {
      variable->setDefault(names.front());
      variable->setCurrentState(names.front());
    }
    variables_disc.append(qualified, variable);
    if (declarationKind == StateVarKind::Mode)
      modeVarLines[variable] = declarationLine;
    // Commands are interface items: they join the component as they are
    // read. Outside a component form the parser rejects the declaration.
    if (declarationKind == StateVarKind::Command && comp != nullptr)
      comp->addStateVar(variable);
    value->stateVar = variable;
  }
  text.clear();
  names.clear();
  return declarationToken(declarationKind);
}

int DefinitionDriver::identifier(const char *name, DEFINITION_STYPE *value) {
  std::string resolved;
  const char *dot = std::strchr(name, '.');
  if (standalone) {
    resolved = name;
  } else if (pass == DefinitionPass::Declaration) {
    // References into other components are resolved by the behaviour pass.
    if (dot != nullptr) {
      value->text = keep("");
      return IDENT;
    }
    resolved = varName + "." + name;
  } else if (dot != nullptr) {
    std::string local(name, dot);
    std::string instance = comp->findCorresName(local);
    if (instance.empty())
      semError(semErrorAtLine, nligne, 73, local.c_str());
    resolved = instance + "." + (dot + 1);
  } else if (std::strcmp(name, "cmdin") == 0 && comp->cmdIn != nullptr && !comp->cmdIn->empty()) {
    resolved = comp->cmdIn->front()->getName();
  } else {
    resolved = varName + "." + name;
  }

  if (const s_arDef *constant = searchDef(symCons, resolved)) {
    value->text = keep(constant->text);
    if (isBooleanWord(constant->text))
      return BOOLEEN;
    return std::isalpha(static_cast<unsigned char>(constant->text[0])) ? IDENT : REEL;
  }
  value->text = keep(resolved);
  return IDENT;
}

int DefinitionDriver::declarationOnly(int token, const char *word, DEFINITION_STYPE *value) {
  if (pass == DefinitionPass::Declaration)
    return token;
  return identifier(word, value);
}

void DefinitionDriver::syntaxError(const char *) {
  if (pass == DefinitionPass::Declaration)
    semError(semErrorAtLine, nligne, 72, fileName.c_str());
  semError(semErrorAtLine, nligne, 78, fileName.c_str());
  std::exit(1);  // semError ends the program on an error already
}

double DefinitionDriver::real(const char *number) { return std::strtod(number, nullptr); }
