// The state of code generation: the files being written, the texts and
// counters the generators collect, and what outlives a compile. One object
// lives for the whole session and is handed to every generator: the
// expression, state-formula, transition and clause numbers go on from one
// compile to the next, while resetForCompile clears the rest.
#ifndef MORVEL_CODEGEN_GENERATION_STATE_H
#define MORVEL_CODEGEN_GENERATION_STATE_H

#include <cstdio>
#include <string>
#include <vector>

class Comp;
struct LoadedModel;

struct GenerationState {
  // The model being compiled, set by the compile command.
  const LoadedModel *model = nullptr;
  // Time step of the runtime, given to the compile command (1.0 by default).
  double timeStep = 1.0;

  // Component types whose class files were started in this compile, in order.
  std::vector<std::string> generatedTypes;
  // Base paths of the clause files of the latest compile ("runtime/cl_" ...).
  std::vector<std::string> clauseFiles;

  // Files being written: runtime source and header, the class header and
  // body of the component type being generated, the current clause header
  // and body.
  FILE *runtimeSourceFile = nullptr;
  FILE *runtimeHeaderFile = nullptr;
  FILE *classHeaderFile = nullptr;
  FILE *classBodyFile = nullptr;
  FILE *clauseHeaderFile = nullptr;
  FILE *clauseBodyFile = nullptr;

  // True while generating an instance whose type was generated already.
  bool typeGeneratedAlready = false;
  // The instance whose code the class of the type being generated was
  // written for: its first instance.
  const Comp *classInstance = nullptr;
  // Number of the next clause file of the current instance.
  int nextClauseFileNumber = 0;
  // True from resetForCompile until the compile's first instance is generated.
  bool freshCompile = true;

  // Texts collected during generation and written into the runtime file:
  // cross-reference statements, then the registrations of the runtime's
  // tables (aMF, aG, aC, condi, gV, init and cG).
  std::string crossReferences;
  std::string mappingExprRegistrations;
  std::string globalConstraintRegistrations;
  std::string conditionConstraintRegistrations;
  std::string conditionRegistrations;
  std::string globalVariableRegistrations;
  std::string initRegistrations;
  std::string nodeRegistrations;

  // Counters of generated elements, reset at each compile.
  long mappingExprCount = 0;
  long globalConstraintCount = 0;
  long conditionConstraintCount = 0;
  long classInitCount = 0;         // initialisation records of the classes
  long initEntryCount = 0;         // initialisations registered, of every instance
  long globalVariableEntryCount = 0;
  long globalVariableCount = 0;
  long instanceNodeCount = 0;      // causal nodes of the current instance
  long instanceVariableCount = 0;  // variables of the current instance
  long influenceTotal = 0;
  long nodeTotal = 0;
  long variableTotal = 0;

  // Numbers that go on for the whole session, never reset.
  long expressionCount = 0;
  long stateFormulaCount = 0;
  long transitionCount = 0;
  long clauseCount = 0;

  // Empties the collected texts and sets the per-compile counters to 0,
  // including the influence and condition counters of the continuous model
  // (numInflu, numCond), which number the generated influences and condition
  // registrations once loading is over.
  void resetForCompile();
};

#endif
