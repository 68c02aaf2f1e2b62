/* Grammar of the definition file language, shared by the declaration pass
   and the behaviour pass. The scanner sends a first token naming the pass;
   every action builds through the driver, which knows what the running pass
   makes of each construct. */
%define api.pure full
%define api.prefix {definition_}
%define parse.error simple
%param {DefinitionDriver &driver}

%code requires {
#include "languages/definition/definition_values.h"
class DefinitionDriver;
}

%code {
#include <cfloat>
#include "languages/definition/definition_driver.h"

static int definition_lex(DEFINITION_STYPE *value, DefinitionDriver &driver) {
  return driver.nextToken(value);
}

static void definition_error(DefinitionDriver &driver, const char *message) {
  driver.syntaxError(message);
}
}

%union {
  const char *text;
  long code;
  double real;
  NameList *names;
  PairList *pairs;
  StateVar *stateVar;
  StateFormula *stateFormula;
  Formula *formula;
  MapFuncList *mapFuncs;
  AssignmentList *assignments;
  s_mapfVar *assignment;
  Transition *transition;
  PostMap *posts;
  s_cond *cond;
  CondList *conds;
  s_expr *expr;
  Equation *equation;
  s_domain *domain;
  s_variable *variable;
  s_listsarnVar *variables;
  s_coef *coef;
  s_listsarnCoef *coefs;
  s_influence *influence;
  s_listsarnInfl *influences;
  s_initVar *initVar;
  s_listsarnInitVar *initVars;
  ValueList *values;
}

%token DECLARATION_PASS BEHAVIOUR_PASS
%token <text> STRING REEL IDENT BOOLEEN
%token <names> USES_LIST SHARED_LIST
%token <pairs> OTHERS
%token <stateVar> MODEVAR_DECL OBSVAR_DECL CMDVAR_DECL DEPVAR_DECL
%token <code> OPREL COEFTYPE INFLTYPE VARKIND
%token IMPLIES OR AND CIN COUT EXO CPLUS CMINUS PLUS_INFINITY MINUS_INFINITY POW
%token BOOLEAN CONDVAR CONDITION INIT INSTANCE MODEL PARAMETER VARIABLE
%token CONSTRAINTS TRANSITIONS VARDEF COMPONENT NEXT NOMINAL IDLE FAIL VARASSIGN

/* A condition after CONDITION takes every "&" and "|" that follows; an
   expression after a relation goes on over "+" and "-". */
%precedence CONDITION
%precedence OPREL
%left OR
%left AND
%precedence '!'
%left '+' '-'
%left '*' '/'
%left POW
%precedence SIGN

%type <stateVar> condvar_decl
%type <conds> bool_cond_list
%type <cond> bool_cond
%type <stateFormula> state_formula atom
%type <formula> constraint
%type <equation> equation
%type <expr> expression operand
%type <real> number probability_second
%type <code> sign
%type <domain> domain
%type <variable> name
%type <variables> var_decl_list var_decl name_list
%type <coef> coeff
%type <coefs> coeff_list
%type <influence> influence rule
%type <influences> rule_list
%type <initVar> init_var
%type <initVars> init_var_list
%type <mapFuncs> mapping_list
%type <transition> transition
%type <posts> next_list
%type <assignments> assignments
%type <assignment> assignment
%type <values> actual_list
%type <text> actual

%%

start
  : DECLARATION_PASS def_file
  | BEHAVIOUR_PASS def_file
  ;

def_file
  : component_def def_file
  | statement_list
  ;

component_def
  : uses_opt COMPONENT STRING { driver.componentHeader($3); }
    semi_opt '{' interface_list '}'
    VARDEF '{' vardef_body '}'
    CONSTRAINTS constraints_section
    TRANSITIONS '{' transition_list '}' { driver.componentEnd(); }
  ;

uses_opt
  : %empty
  | USES_LIST { driver.usesList($1); }
  ;

semi_opt
  : %empty
  | ';'
  ;

/* Reduced from its end: item actions run in reverse written order, so of
   several input commands the first written one remains. */
interface_list
  : %empty
  | OTHERS { driver.importedComponents($1); }
  | CIN EXO ':' CMDVAR_DECL interface_list { driver.inputCommand($4, true); }
  | CIN ':' CMDVAR_DECL interface_list { driver.inputCommand($3, false); }
  | CIN ':' SHARED_LIST CMINUS ';' interface_list { driver.sharedInputCommand($3); }
  | CIN ':' SHARED_LIST CPLUS ';' interface_list
  | COUT ':' CMDVAR_DECL interface_list { driver.outputCommand($3); }
  | COUT ':' interface_list
  | CIN ':' interface_list
  ;

/* Reduced from its end: state variables are added in reverse written order. */
vardef_body
  : %empty
  | MODEVAR_DECL vardef_body { driver.vardefVariable($1); }
  | OBSVAR_DECL vardef_body { driver.vardefVariable($1); }
  | DEPVAR_DECL vardef_body { driver.vardefVariable($1); }
  | condvar_decl vardef_body { driver.vardefVariable($1); }
  | declaration_cont semi_opt vardef_body
  ;

condvar_decl
  : CONDVAR IDENT '(' bool_cond_list ')' ';' { $$ = driver.conditionVariable($2, $4); }
  ;

bool_cond_list
  : bool_cond { $$ = driver.condList(nullptr, $1); }
  | bool_cond_list ',' bool_cond { $$ = driver.condList($1, $3); }
  ;

declaration_cont
  : VARIABLE var_decl_list { driver.declareVariables($2, false); }
  | PARAMETER var_decl_list { driver.declareVariables($2, true); }
  | VARKIND name_list { driver.interfaceKind($1, $2); }
  ;

var_decl_list
  : var_decl
  | var_decl_list ',' var_decl { $$ = driver.appendVariables($1, $3); }
  ;

var_decl
  : IDENT { $$ = driver.declaredVariable($1, 0, nullptr); }
  | IDENT OPREL domain { $$ = driver.declaredVariable($1, $2, $3); }
  ;

name_list
  : name { $$ = driver.appendVariable(nullptr, $1); }
  | name_list ',' name { $$ = driver.appendVariable($1, $3); }
  ;

name
  : IDENT { $$ = driver.variableName($1); }
  ;

domain
  : number { $$ = driver.realDomain($1); }
  | '[' number ',' number ']' { $$ = driver.rangeDomain($2, $4); }
  | '[' MINUS_INFINITY ',' number ']' { $$ = driver.rangeDomain(-DBL_MAX, $4); }
  | '[' number ',' PLUS_INFINITY ']' { $$ = driver.rangeDomain($2, DBL_MAX); }
  | '[' MINUS_INFINITY ',' PLUS_INFINITY ']' { $$ = driver.rangeDomain(-DBL_MAX, DBL_MAX); }
  | PLUS_INFINITY { $$ = driver.realDomain(DBL_MAX); }
  | MINUS_INFINITY { $$ = driver.realDomain(-DBL_MAX); }
  | IDENT { $$ = driver.variableDomain($1); }
  ;

number
  : REEL { $$ = driver.real($1); }
  | sign REEL { $$ = $1 ? -driver.real($2) : driver.real($2); }
  ;

sign
  : '+' { $$ = 0; }
  | '-' { $$ = 1; }
  ;

constraints_section
  : '{' constraint_list '}' cont_decl_list
  | '{' '}'
  | '{' cont_decls '}'
  ;

/* Reduced from its end: the last constraint written is added first. */
constraint_list
  : constraint { driver.addConstraint($1); }
  | constraint ';' { driver.addConstraint($1); }
  | constraint ';' constraint_list { driver.addConstraint($1); }
  ;

constraint
  : state_formula IMPLIES state_formula { $$ = driver.implication($1, $3); }
  | state_formula IMPLIES VARASSIGN IDENT OPREL IDENT { $$ = driver.implication($1, nullptr); }
  | '(' constraint ')' { $$ = $2; }
  | '(' constraint ')' AND constraint { $$ = driver.combineConstraints("and", $2, $5); }
  | '(' constraint ')' OR constraint { $$ = driver.combineConstraints("or", $2, $5); }
  ;

state_formula
  : atom
  | CONDITION bool_cond %prec CONDITION { $$ = driver.conditionFormula($2); }
  | state_formula AND state_formula { $$ = driver.combineFormulas("and", $1, $3); }
  | state_formula OR state_formula { $$ = driver.combineFormulas("or", $1, $3); }
  | '(' state_formula ')' { $$ = $2; }
  ;

atom
  : '(' IDENT OPREL STRING ')' { $$ = driver.atomFormula($2, $3, $4); }
  ;

cont_decl_list
  : %empty
  | cont_decls
  ;

cont_decls
  : cont_decl
  | cont_decls cont_decl
  ;

cont_decl
  : IDENT ':' rule ';' { driver.ruleBlock($1, driver.ruleList(nullptr, $3), true); }
  | IDENT ':' '{' rule_list ';' '}' { driver.ruleBlock($1, $4, false); }
  | IDENT ':' state_formula '{' rule_list ';' '}' { driver.guardedRuleBlock($1, $3, $5); }
  | equation ';' { driver.equationStatement($1); }
  | INIT init_var_list ';' { driver.initialisations($2); }
  ;

rule
  : influence
  | state_formula influence { $$ = driver.guardedRule($1, $2); }
  ;

rule_list
  : rule { $$ = driver.ruleList(nullptr, $1); }
  | rule_list ';' rule { $$ = driver.ruleList($1, $3); }
  ;

influence
  : IDENT INFLTYPE IDENT { $$ = driver.influence($1, $2, $3, nullptr); }
  | IDENT INFLTYPE IDENT ':' coeff_list { $$ = driver.influence($1, $2, $3, $5); }
  | number INFLTYPE IDENT { $$ = driver.constantInfluence($1, $2, $3); }
  ;

coeff_list
  : coeff { $$ = driver.appendCoef(nullptr, $1); }
  | coeff_list ',' coeff { $$ = driver.appendCoef($1, $3); }
  ;

coeff
  : COEFTYPE OPREL domain { $$ = driver.coefficient($1, $2, $3); }
  ;

equation
  : expression OPREL operand { $$ = driver.equation($1, $2, $3); }
  ;

/* A boolean word is an operand on the right of a relation only: elsewhere
   it is a condition of its own. */
operand
  : expression %prec OPREL
  | BOOLEEN { $$ = driver.booleanExpression($1); }
  ;

init_var_list
  : init_var { $$ = driver.appendInit(nullptr, $1); }
  | init_var_list ',' init_var { $$ = driver.appendInit($1, $3); }
  ;

init_var
  : IDENT OPREL domain { $$ = driver.initialisation($1, $2, $3); }
  ;

bool_cond
  : BOOLEEN { $$ = driver.booleanCondition($1); }
  | equation { $$ = driver.relationCondition($1); }
  | '(' bool_cond ')' { $$ = $2; }
  | bool_cond AND bool_cond { $$ = driver.combineConditions(4, $1, $3); }
  | bool_cond OR bool_cond { $$ = driver.combineConditions(3, $1, $3); }
  | '!' bool_cond { $$ = driver.combineConditions(5, $2, nullptr); }
  ;

expression
  : REEL { $$ = driver.constantExpression(driver.real($1)); }
  | IDENT { $$ = driver.variableExpression($1); }
  | '(' expression ')' { $$ = $2; }
  | expression '+' expression { $$ = driver.binaryExpression("+", $1, $3); }
  | expression '-' expression { $$ = driver.binaryExpression("-", $1, $3); }
  | expression '*' expression { $$ = driver.binaryExpression("*", $1, $3); }
  | expression '/' expression { $$ = driver.binaryExpression("/", $1, $3); }
  | expression POW expression { $$ = driver.binaryExpression("e", $1, $3); }
  | sign expression %prec SIGN { $$ = driver.signExpression($1, $2); }
  ;

/* Reduced from its end: the last transition written is added first. */
transition_list
  : %empty
  | transition transition_list { driver.addTransition($1); }
  ;

transition
  : IDENT ':' '{' NOMINAL state_formula NEXT state_formula REEL probability_second ';' mapping_list '}'
      { $$ = driver.transition("Nominal", $5, $7, driver.real($8), $9, false, $11); }
  | IDENT ':' '{' NOMINAL state_formula next_list REEL probability_second ';' mapping_list '}'
      { $$ = driver.multiPostTransition($5, $6, driver.real($7), $10); }
  | IDLE state_formula NEXT state_formula REEL ';'
      { $$ = driver.transition("Nominal", $2, $4, driver.real($5), 0.0, true, nullptr); }
  | IDENT ':' '{' FAIL state_formula NEXT state_formula REEL ';' mapping_list '}'
      { $$ = driver.transition("Fail", $5, $7, driver.real($8), 0.0, false, $10); }
  ;

/* Two or more "Next" parts, each ended by ";". */
next_list
  : NEXT state_formula ';' NEXT state_formula ';'
      { $$ = driver.nextPost(driver.nextPost(nullptr, $2), $5); }
  | next_list NEXT state_formula ';' { $$ = driver.nextPost($1, $3); }
  ;

probability_second
  : %empty { $$ = 0.0; }
  | REEL { $$ = driver.real($1); }
  ;

mapping_list
  : %empty { $$ = nullptr; }
  | mapping_list state_formula ':' assignments ';' { $$ = driver.mapping($1, $2, $4); }
  | mapping_list assignments ';' { $$ = driver.mapping($1, nullptr, $2); }
  ;

assignments
  : assignment { $$ = driver.appendAssignment(nullptr, $1); }
  | assignments ',' assignment { $$ = driver.appendAssignment($1, $3); }
  ;

assignment
  : IDENT OPREL operand { $$ = driver.assignment($1, $2, $3); }
  ;

statement_list
  : %empty
  | statement_list statement
  ;

statement
  : declaration_cont ';'
  | cont_decl
  | IDENT ':' INSTANCE IDENT '(' actual_list ')' ';' { driver.instantiation($1, $4, $6); }
  | MODEL IDENT { driver.modelBegin($2); } '(' formal_list ')' '{' statement_list '}' { driver.modelEnd(); }
  ;

actual_list
  : actual { $$ = driver.appendValue(nullptr, $1); }
  | actual_list ',' actual { $$ = driver.appendValue($1, $3); }
  ;

actual
  : number { $$ = driver.keep(std::to_string($1)); }
  | BOOLEEN
  | IDENT
  ;

formal_list
  : formal
  | formal_list ',' formal
  ;

formal
  : VARIABLE IDENT { driver.formalVariable($2, 0, nullptr); }
  | VARIABLE IDENT OPREL domain { driver.formalVariable($2, $3, $4); }
  | PARAMETER IDENT { driver.formalParameter($2); }
  | BOOLEAN PARAMETER IDENT { driver.formalParameter($3); }
  ;

%%
