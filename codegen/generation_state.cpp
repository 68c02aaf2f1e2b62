#include "codegen/generation_state.h"

#include "continuous/state.h"

void GenerationState::resetForCompile() {
  for (std::string *text :
       {&mappingExprRegistrations, &crossReferences, &globalConstraintRegistrations,
        &conditionConstraintRegistrations, &conditionRegistrations, &globalVariableRegistrations,
        &initRegistrations, &nodeRegistrations})
    text->clear();
  for (long *counter :
       {&mappingExprCount, &globalConstraintCount, &conditionConstraintCount, &classInitCount,
        &initEntryCount, &globalVariableEntryCount, &globalVariableCount, &instanceNodeCount,
        &instanceVariableCount, &influenceTotal, &nodeTotal, &variableTotal})
    *counter = 0;
  numInflu = 0;
  numCond = 0;
  freshCompile = true;
}
