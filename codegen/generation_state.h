// Process-wide state of one compile: the files being written, the texts and
// counters the generators collect, and the lists that outlive a compile.
#ifndef MORVEL_CODEGEN_GENERATION_STATE_H
#define MORVEL_CODEGEN_GENERATION_STATE_H

#include <cstdio>
#include <string>
#include <vector>

class Comp;

// Time step of the runtime, given to the compile command (1.0 by default).
extern double timeStep;

// Component types whose class files were started in this compile, in order.
extern std::vector<std::string> generated_types;
// Base paths of the clause files of the latest compile ("runtime/cl_" ...).
extern std::vector<std::string> cl_files;

// Files being written: runtime source and header, the class header and body
// of the component type being generated, the current clause header and body.
extern FILE *runT;
extern FILE *runH;
extern FILE *defH;
extern FILE *defCPP;
extern FILE *clH;
extern FILE *clCPP;

// True while generating an instance whose type was generated already.
extern bool in_gen_types;
// The instance whose code the class of the type being generated was written
// for: its first instance.
extern const Comp *class_instance;
// Number of the next clause file of the current instance.
extern int clFilesNum;
// True from resetGenerationState until the compile's first instance is generated.
extern bool freshCompile;

// Texts collected during generation and written into the runtime file.
extern std::string cross_ref;
extern std::string mfexprstr;
extern std::string globstr;
extern std::string condcstr;
extern std::string condstr;
extern std::string gvarstr;
extern std::string initstr;
extern std::string nodestr;

// Counters of generated elements, reset at each compile.
extern long numMFExpr;
extern long numGlobC;
extern long numCondC;
extern long numInit;         // initialisation records of the classes
extern long numInitEntries;  // initialisations registered, of every instance
extern long numGVarSV;
extern long numGVar;
extern long numNoeud;
extern long numVar;
extern long numExpr;
extern long numInfluG;
extern long numNoeudG;
extern long numVarG;

// Counters never reset while the program runs.
extern long numStf;
extern long numTransitions;
extern long numClauses;

// Empties the collected texts and sets the per-compile counters to 0,
// including the influence and condition counters of the continuous model
// (numInflu, numCond), which number the generated influences and condition
// registrations once loading is over.
void resetGenerationState();

#endif
