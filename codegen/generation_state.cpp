#include "codegen/generation_state.h"

#include "continuous/state.h"

double timeStep = 1.0;

std::vector<std::string> generated_types;
std::vector<std::string> cl_files;

FILE *runT = nullptr;
FILE *runH = nullptr;
FILE *defH = nullptr;
FILE *defCPP = nullptr;
FILE *clH = nullptr;
FILE *clCPP = nullptr;

bool in_gen_types = false;
const Comp *class_instance = nullptr;
int clFilesNum = 0;
bool freshCompile = true;

std::string cross_ref;
std::string mfexprstr;
std::string globstr;
std::string condcstr;
std::string condstr;
std::string gvarstr;
std::string initstr;
std::string nodestr;

long numMFExpr = 0;
long numGlobC = 0;
long numCondC = 0;
long numInit = 0;
long numInitEntries = 0;
long numGVarSV = 0;
long numGVar = 0;
long numNoeud = 0;
long numVar = 0;
long numExpr = 0;
long numInfluG = 0;
long numNoeudG = 0;
long numVarG = 0;

long numStf = 0;
long numTransitions = 0;
long numClauses = 0;

void resetGenerationState() {
  for (std::string *text : {&mfexprstr, &cross_ref, &globstr, &condcstr, &condstr, &gvarstr,
                            &initstr, &nodestr})
    text->clear();
  for (long *counter : {&numMFExpr, &numGlobC, &numCondC, &numInit, &numInitEntries, &numGVarSV,
                        &numGVar, &numNoeud, &numVar, &numInfluG, &numNoeudG, &numVarG})
    *counter = 0;
  numInflu = 0;
  numCond = 0;
  freshCompile = true;
}
