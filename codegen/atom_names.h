// The names generated code gives the atoms of a state variable, from the
// component whose code names them: used by the clause and state-formula
// generators and by the generator of atom conditions.
#ifndef MORVEL_CODEGEN_ATOM_NAMES_H
#define MORVEL_CODEGEN_ATOM_NAMES_H

#include <string>

struct GenerationState;
class Comp;
class StateVar;

// What geneDiscSymbName makes of an atom.
enum DiscSymbMode {
  symbCondAtom = 0,    // attaches the atom to condition K
  symbClauseAtom = 1,  // names the atom in clause code
  symbFormulaAtom = 2  // adds the atom to state formula K
};

std::string geneDiscSymbName(GenerationState &gen, StateVar *variable, Comp *instance, int mode,
                             const std::string &k, const std::string &x, const std::string &sign,
                             const std::string &c);

#endif
