// Reads a definition file for one of its passes. The scanner and the grammar
// call back here; each action does what the running pass makes of its
// construct: the declaration pass creates the component and its variables
// and builds conditions and expressions, the behaviour pass finds them again
// and adds the component's behaviour.
#ifndef MORVEL_LANGUAGES_DEFINITION_DRIVER_H
#define MORVEL_LANGUAGES_DEFINITION_DRIVER_H

#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "continuous/diagnostics.h"
#include "continuous/lists.h"
#include "languages/definition/definition_values.h"

union DEFINITION_STYPE;
class Comp;
struct s_listsarnExpr;
struct s_listsarnGVar;

enum class DefinitionPass { Declaration, Behaviour };

class DefinitionDriver {
 public:
  DefinitionDriver(DefinitionPass pass, const char *fileName, FILE *input);
  ~DefinitionDriver();
  DefinitionDriver(const DefinitionDriver &) = delete;
  DefinitionDriver &operator=(const DefinitionDriver &) = delete;

  // Runs the parser: 0 on success.
  int parse();

  // Scanner support.
  int nextToken(DEFINITION_STYPE *value);
  const char *keep(const std::string &text);
  NameList *keepNames();
  void newLine();
  void countLines(const char *text);
  void endListName();
  PairList *othersPairs();
  void beginDeclaration(StateVarKind kind);
  void nameDeclaration();
  int endDeclaration(DEFINITION_STYPE *value);
  int identifier(const char *name, DEFINITION_STYPE *value);
  int declarationOnly(int token, const char *text, DEFINITION_STYPE *value);
  // Ends the program after a syntax error or a failed lookup.
  [[noreturn]] void syntaxError(const char *message);

  // Component structure and declarations.
  void usesList(NameList *types);
  void componentHeader(const char *typeName);
  void componentEnd();
  void importedComponents(PairList *pairs);
  void inputCommand(StateVar *command, bool exogenous);
  void sharedInputCommand(NameList *names);
  void outputCommand(StateVar *command);
  void vardefVariable(StateVar *variable);
  StateVar *conditionVariable(const char *name, CondList *conditions);
  CondList *condList(CondList *list, s_cond *condition);
  void declareVariables(s_listsarnVar *variables, bool parameters);
  void interfaceKind(long kind, s_listsarnVar *variables);
  s_listsarnVar *declaredVariable(const char *name, long relation, s_domain *domain);
  s_listsarnVar *appendVariables(s_listsarnVar *list, s_listsarnVar *more);
  s_listsarnVar *appendVariable(s_listsarnVar *list, s_variable *variable);
  s_variable *variableName(const char *name);
  s_domain *realDomain(double value);
  s_domain *rangeDomain(double lower, double upper);
  s_domain *variableDomain(const char *name);
  double real(const char *text);

  // Discrete behaviour.
  void addConstraint(Formula *constraint);
  Formula *implication(StateFormula *pre, StateFormula *post);
  Formula *combineConstraints(const char *op, Formula *left, Formula *right);
  StateFormula *atomFormula(const char *variable, long relation, const char *value);
  StateFormula *conditionFormula(s_cond *condition);
  StateFormula *combineFormulas(const char *op, StateFormula *left, StateFormula *right);
  Transition *transition(const char *kind, StateFormula *pre, StateFormula *post,
                         double probability, double secondProbability, bool idle,
                         MapFuncList *mappings);
  Transition *multiPostTransition(StateFormula *pre, PostMap *posts, double probability,
                                  MapFuncList *mappings);
  PostMap *nextPost(PostMap *posts, StateFormula *post);
  void addTransition(Transition *built);
  MapFuncList *mapping(MapFuncList *list, StateFormula *guard, AssignmentList *assignments);
  AssignmentList *appendAssignment(AssignmentList *list, s_mapfVar *assignment);
  s_mapfVar *assignment(const char *name, long relation, s_expr *value);

  // Continuous behaviour.
  void ruleBlock(const char *name, s_listsarnInfl *rules, bool single);
  void guardedRuleBlock(const char *name, StateFormula *guard, s_listsarnInfl *rules);
  s_listsarnInfl *ruleList(s_listsarnInfl *list, s_influence *rule);
  s_influence *guardedRule(StateFormula *guard, s_influence *rule);
  s_influence *influence(const char *cause, long type, const char *effect, s_listsarnCoef *coefs);
  s_influence *constantInfluence(double value, long type, const char *effect);
  s_listsarnCoef *appendCoef(s_listsarnCoef *list, s_coef *coef);
  s_coef *coefficient(long kind, long relation, s_domain *domain);
  void equationStatement(Equation *equation);
  void initialisations(s_listsarnInitVar *list);
  s_listsarnInitVar *appendInit(s_listsarnInitVar *list, s_initVar *init);
  s_initVar *initialisation(const char *name, long relation, s_domain *domain);

  // Conditions and expressions.
  Equation *equation(s_expr *left, long relation, s_expr *right);
  s_cond *booleanCondition(const char *word);
  s_cond *relationCondition(Equation *relation);
  s_cond *combineConditions(int type, s_cond *left, s_cond *right);
  s_expr *constantExpression(double value);
  s_expr *booleanExpression(const char *word);
  s_expr *variableExpression(const char *name);
  s_expr *binaryExpression(const char *op, s_expr *left, s_expr *right);
  s_expr *signExpression(long sign, s_expr *operand);

  // Stand-alone form.
  void instantiation(const char *name, const char *model, ValueList *actuals);
  ValueList *appendValue(ValueList *list, const char *value);
  void modelBegin(const char *name);
  void modelEnd();
  void formalVariable(const char *name, long relation, s_domain *domain);
  void formalParameter(const char *name);

  // What the driver reads and builds.
  DefinitionPass pass;
  std::string fileName;
  std::string varName;           // component variable name qualifying names
  Comp *comp = nullptr;          // the component read or built
  std::vector<std::string> args; // instantiation arguments (behaviour pass)
  SourcePosition instantiatedAt; // where the model file gives them
  bool standalone = false;       // continuous statements without component
  BuiltElements builtElements;   // what the declaration pass built, in order
  int startToken;                // first token, naming the pass

  // Text being collected by a scanner mode.
  std::string text;
  NameList names;

 private:
  bool buildsContinuous() const { return pass == DefinitionPass::Declaration || standalone; }
  s_variable *declaredVariableNamed(const std::string &name, int undefinedMessage);
  s_cond *recordCondition(s_cond *condition);
  s_expr *recordExpression(s_expr *expression);
  template <typename T> T *replay(std::vector<T *> &built, size_t &next, const char *missing);
  // The condition equivalent to a guard formula, which it releases.
  s_cond *ruleCondition(StateFormula *guard);
  // Checks and gives the name of a rule block to its influences.
  void nameRules(const char *name, s_listsarnInfl *rules);
  // Adds a built influence to the component (or the session, stand-alone).
  s_influence *addInfluence(s_influence *built);
  [[noreturn]] void lookupFailed(const char *message);

  void *scanner = nullptr;
  std::string outerParsedFile;  // the file being read before this one
  // Where the lists this pass builds end: the parser's lists, the component's
  // global variables and constraints grow by appending.
  ListEnds listEnds;
  StateVarKind declarationKind = StateVarKind::Mode;
  std::string declarationName;
  long declarationLine = 0;  // where the declaration being read starts
  // Declaration pass: where each mode variable is declared. The vardef body
  // is reduced at its end, when the scanner stands at its closing brace.
  std::map<const StateVar *, long> modeVarLines;
  std::deque<std::string> texts;
  std::deque<NameList> nameLists;
  std::deque<PairList> pairLists;
  std::deque<CondList> condLists;
  std::deque<Equation> equations;
  std::deque<MapFuncList> mapFuncLists;
  std::deque<AssignmentList> assignmentLists;
  std::deque<ValueList> valueLists;

  // Expression nodes built since the last constraint that took them.
  s_listsarnExpr *pendingExprs = nullptr;
  long pendingCount = 0;
  size_t nextCondition = 0;   // behaviour pass: next condition to find again
  size_t nextExpression = 0;  // behaviour pass: next expression to find again
  s_cond *modes_cond = nullptr;
  bool inModel = false;
};

#endif
