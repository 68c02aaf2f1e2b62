#include "codegen/atom_names.h"

#include <cstdio>

#include "codegen/emit.h"
#include "codegen/generation_state.h"
#include "discrete/comp.h"
#include "discrete/instances.h"
#include "discrete/state_var.h"

namespace {

// No name could be made for an atom of the variable: warns while the class
// is being written, and gives the empty name.
std::string unnamedAtom(GenerationState &gen, const StateVar *variable) {
  if (!gen.typeGeneratedAlready)
    std::printf("warning: trouble generating code for a discrete variable: %s\n",
                variable->getCharName());
  return "";
}

}  // namespace

std::string geneDiscSymbName(GenerationState &gen, StateVar *variable, Comp *comp, int mode,
                             const std::string &k, const std::string &x, const std::string &sign,
                             const std::string &c) {
  const std::string p = instancePart(variable->getName());
  const std::string v = comp->getVarName();
  const std::string &t = comp->typeName;
  const std::string s = variable->getSymbName();
  const Comp *owner = findComp(p);
  const bool local = p == v;
  // Clause code, the most frequent use, needs one name only.
  if (mode == symbClauseAtom) {
    if (local)
      return v + "->" + t + "_" + s + "_" + x;
    if (owner != nullptr)
      return p + "->" + owner->typeName + "_" + s + "_" + x;
    return unnamedAtom(gen, variable);
  }
  const std::string own = t + "_" + s + "_" + x;
  const std::string other = owner != nullptr ? owner->typeName + "_" + s + "_" + x : "";
  // Through the member holding the owner, or at run time by cross-reference.
  const std::string member = owner != nullptr && !local ? memberFor(gen, comp, owner) : "";
  const bool crossed = owner != nullptr && !local && member.empty();
  const std::string stf = t + "_stf" + k;

  switch (mode) {
  case symbFormulaAtom:
    if (local)
      return "\t" + stf + "->addAtom (" + (c.empty() ? own : own + comp->getName() + "_" + c) +
             ", " + sign + ");\n";
    if (crossed) {
      if (c.empty())
        gen.crossReferences +=
            "\t" + v + "->" + stf + "->addAtom (" + p + "->" + other + ", " + sign + ");\n";
      else
        gen.crossReferences += "\t" + v + "->" + stf + "->addAtom ((*" + p + "->atoms)[\"" + other +
                               comp->getName() + "_" + c + "\"], " + sign + ");\n";
      return "";
    }
    if (owner != nullptr && !gen.typeGeneratedAlready) {
      if (c.empty())
        return stf + "->addAtom ((*" + member + "->atoms)[\"" + other + "\"], " + sign + ");\n";
      return stf + "->addAtom ((*" + member + "->atoms)[string (\"" + other + "\" + name + \"_" + c +
             "\").c_str ()], " + sign + ");\n";
    }
    break;
  case symbCondAtom:
    if (local)
      return "\tsetCondAtom (c_" + k + ", " + own + ");\n\t";
    if (crossed) {
      gen.crossReferences +=
          "\tsetCondAtom (" + v + "->c_" + k + ", " + p + "->" + other + ");\n\t";
      return "NULL";
    }
    if (owner != nullptr && !gen.typeGeneratedAlready)
      return "\tsetCondAtom (c_" + k + ", " + member + "->" + other + ");\n\t";
    break;
  default:
    break;
  }
  return unnamedAtom(gen, variable);
}
