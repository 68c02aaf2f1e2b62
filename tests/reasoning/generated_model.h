// Models for the reasoning tests and benchmark, built as a loaded definition
// leaves them and compiled by the reasoner into the session's clauses.
//
// GeneratedModel makes random applications: components that use the one
// before them (all of them, or every second one so that they come in pairs),
// each with a mode (ok, stuck, a fault value reached by a "Fail" transition,
// and unknown), an input command, a condition, an observable and a dependent
// variable (whose value high guards a repair). Constraints tie the outputs to
// the mode, command and condition and to the previous component's dependent
// value.
#ifndef MORVEL_TESTS_REASONING_GENERATED_MODEL_H
#define MORVEL_TESTS_REASONING_GENERATED_MODEL_H

#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "discrete/formula.h"
#include "discrete/instances.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
#include "reasoning/itms.h"

// Components, their variables, constraints and transitions; the session's
// tables are emptied when the builder comes and when it goes. Ids in formulas
// may leave out the name of the component made last ("m=ok" for "c0.m=ok").
class ReasonerModelBuilder {
 public:
  ReasonerModelBuilder() { clearSession(); }
  ~ReasonerModelBuilder() {
    delete reasoner;  // with the compiled clauses
    clearSession();
    for (auto &release : releases)
      release();
  }
  ReasonerModelBuilder(const ReasonerModelBuilder &) = delete;
  ReasonerModelBuilder &operator=(const ReasonerModelBuilder &) = delete;

  Comp *component(const std::string &name) {
    Comp *made = keep(new Comp(name));
    made->varName = name;
    scope = name + ".";
    DataManager::addComp(made);
    comps.push_back(made);
    return made;
  }
  template <typename Var>
  Var *variable(Comp *comp, const std::string &name, std::set<std::string> values,
                const std::string &initial) {
    // The classes have no virtual destructor: each variable goes as what it is.
    Var *made = keep(new Var(name, values, initial));
    made->createAtoms();
    for (Atom *atom : made->atomLinks)
      keep(atom);
    comp->addStateVar(made);
    variables.push_back(made);
    return made;
  }
  Atom *atom(const std::string &id) const {
    for (StateVar *variable : variables)
      for (Atom *atom : variable->atomLinks)
        if (atom->id == id || atom->id == scope + id)
          return atom;
    return nullptr;
  }
  // The literals are written "A=on !B=ok"; "!" marks a negated one.
  StateFormula *formula(const std::string &op, const std::string &literals) const {
    auto *made = new StateFormula();
    made->setOperat(op);
    std::istringstream words(literals);
    for (std::string word; words >> word;)
      made->addAtom(atom(word.substr(word[0] == '!')), word[0] != '!');
    return made;
  }
  // A constraint of the component made last: all the premises imply the conclusion.
  void implies(const std::string &premises, const std::string &conclusion) const {
    comps.back()->addFormulaToCS(new Formula(formula("and", premises), formula("", conclusion), nullptr));
  }
  // Clauses, atom table and initial labels, as compiling the model leaves them.
  void compile() {
    std::streambuf *shown = std::cout.rdbuf(nullptr);
    reasoner->clauseCompilation();
    std::cout.rdbuf(shown);
  }
  template <typename Object> Object *keep(Object *object) {
    releases.push_back([object] { delete object; });
    return object;
  }

  std::vector<Comp *> comps;
  std::vector<StateVar *> variables;
  itms *reasoner = new itms();

 private:
  static void clearSession() {
    DataManager::cls->clear();
    DataManager::active_atoms->clear();
    DataManager::active_comps.clear();
    DataManager::active_trans.clear();
  }
  std::string scope;
  std::vector<std::function<void()>> releases;
};

class GeneratedModel : public ReasonerModelBuilder {
 public:
  GeneratedModel(int components, unsigned seed, bool pairs = false) : random(seed) {
    for (int i = 0; i < components; ++i)
      addComponent(i, pairs && i % 2 == 0);
    compile();
  }
  std::map<int, s_component *> instancesByRank;  // as the loader ranks them

 private:
  void addComponent(int index, bool first) {
    std::string c = "c" + std::to_string(index);
    Comp *comp = component(c);
    variable<ModeVar>(comp, c + ".m", {"ok", "stuck", "broken", "unknown"}, "ok");
    variable<CommandVar>(comp, c + ".cmd", {"off", "on"}, "off")->cmdIn = true;
    variable<CondVar>(comp, c + ".hot", {"no", "yes"}, "no");
    variable<ObsVar>(comp, c + ".o", {"high", "low", "zero"}, "low");
    variable<DependentVar>(comp, c + ".d", {"high", "low"}, "low");
    // The failure transition makes the fault value a fault atom.
    comp->addTransitionToC(new Transition(formula("", "m=ok"), formula("", "m=broken"), "Fail", 0.01));
    comp->addTransitionToC(new Transition(formula("", "d=high"), formula("", "m=ok"), "Nominal", 1.0));
    std::uniform_int_distribution<int> coin(0, 3);
    implies("m=ok cmd=on", "o=high");
    implies("m=ok cmd=off", "o=low");
    implies("m=stuck", coin(random) ? "o=high" : "o=low");
    implies("m=broken", "o=zero");
    implies("m=ok cmd=on", "d=high");
    if (index > 0 && !first) {
      Comp *previous = comps[comps.size() - 2];
      comp->importedComps = new std::vector<Comp *>{previous};
      implies(previous->name + ".d=high m=ok " + (coin(random) ? "hot=yes" : "cmd=on"),
              "d=high");
    }
    if (coin(random) == 0)
      implies("hot=yes", "d=low");
    else
      implies("hot=yes m=ok", coin(random) ? "o=high" : "o=zero");
    implies("d=high", coin(random) ? "m=ok" : "cmd=on");
    instancesByRank[index + 1] = keep(new s_component());
    instancesByRank[index + 1]->comp = comp;
  }

  std::mt19937 random;
};

#endif
