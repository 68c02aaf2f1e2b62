/* Grammar of the model file language. */
%define api.pure full
%define api.prefix {model_}
%define parse.error simple
%param {ModelDriver &driver}

%code requires {
#include <string>
#include <vector>
class ModelDriver;
}

%code {
#include "languages/model/model_driver.h"

static int model_lex(MODEL_STYPE *value, ModelDriver &driver) { return driver.nextToken(value); }

static void model_error(ModelDriver &driver, const char *message) { driver.syntaxError(message); }
}

%union {
  const char *text;
  std::vector<std::string> *names;
}

%token <names> USES ARGLIST
%token <text> TYPEREF IDENT
%token LBRACE RBRACE
/* An argument list with an empty argument, "()" among them: no production
   takes it, since every argument is written out in the runtime source. */
%token EMPTY_ARGUMENT

%%

/* A file whose first token is not a uses list ends the load: the driver
   checks the first token, so an empty file stays an empty model. */
model_file
  : %empty
  | use_decl stmt_list { driver.endOfModel(); }
  ;

use_decl
  : USES { if (!driver.usesDeclaration($1)) YYABORT; }
  ;

/* Left recursive, so that the parser stack does not grow with the number
   of statements: a model of many thousand instances must load. */
stmt_list
  : %empty
  | stmt_list stmt ';'
  ;

stmt
  : TYPEREF IDENT { driver.declareInstance($1, $2); }
  | IDENT ARGLIST { driver.instantiate($1, $2); }
  | %empty
  ;

%%
