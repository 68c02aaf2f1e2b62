// Random applications for the reasoning tests and benchmark: components
// that use the one before them (all of them, or every second one so that
// they come in pairs), each with a mode (ok, stuck, a fault
// value reached by a "Fail" transition, and unknown), an input command, a
// condition, an observable and a dependent variable (whose value high
// guards a repair). Constraints tie the
// outputs to the mode, command and condition and to the previous
// component's dependent value. The clauses go straight into the session's
// clause list, as clause compilation would leave them.
#ifndef MORVEL_TESTS_REASONING_GENERATED_MODEL_H
#define MORVEL_TESTS_REASONING_GENERATED_MODEL_H

#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "discrete/clause.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "discrete/formula.h"
#include "discrete/instances.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"

class GeneratedModel {
 public:
  GeneratedModel(int components, unsigned seed, bool pairs = false)
      : random(seed), pairs(pairs) {
    DataManager::active_comps.clear();
    DataManager::active_atoms->clear();
    DataManager::cls->clear();
    for (int i = 0; i < components; ++i)
      addComponent(i);
    for (const auto &clause : clauses)
      DataManager::cls->push_back(clause.get());
  }
  ~GeneratedModel() {
    DataManager::cls->clear();
    DataManager::active_atoms->clear();
    DataManager::active_comps.clear();
    for (auto &release : releases)
      release();
  }
  GeneratedModel(const GeneratedModel &) = delete;
  GeneratedModel &operator=(const GeneratedModel &) = delete;

  Atom *atom(const std::string &id) const { return DataManager::getAtom(id.c_str()); }

  std::vector<std::unique_ptr<Comp>> comps;
  std::vector<std::unique_ptr<s_component>> instances;
  std::map<int, s_component *> instancesByRank; // as the loader ranks them
  std::vector<StateVar *> variables;
  std::vector<std::unique_ptr<Clause>> clauses;

 private:
  template <typename Var>
  Var *variable(Comp *comp, const std::string &name, std::set<std::string> values,
                const std::string &initial) {
    Var *made = new Var(comp->name + "." + name, values, initial);
    made->createAtoms();
    comp->addStateVar(made);
    variables.push_back(made);
    // The classes have no virtual destructor: each variable goes as what it is.
    releases.push_back([made] {
      for (Atom *atom : made->atomLinks)
        delete atom;
      delete made;
    });
    for (Atom *atom : made->atomLinks) {
      DataManager::addAtom(atom);
      (*comp->atoms)[atom->id] = atom;
      if (atom->value == initial)
        atom->set();
    }
    Clause *atLeastOne = keep(new Clause(comp));
    atLeastOne->setInternal(true);
    std::vector<Atom *> &atoms = made->atomLinks;
    for (std::size_t j = 0; j < atoms.size(); ++j) {
      for (std::size_t k = j + 1; k < atoms.size(); ++k) {
        Clause *atMostOne = keep(new Clause(atoms[j], true, comp));
        atMostOne->addAtom(atoms[k], true);
        atMostOne->setInternal(true);
      }
      atLeastOne->addAtom(atoms[j], false);
    }
    return made;
  }

  Clause *keep(Clause *clause) {
    clauses.emplace_back(clause);
    return clause;
  }

  Atom *valueOf(StateVar *variable, const std::string &value) {
    for (Atom *atom : variable->atomLinks)
      if (atom->value == value)
        return atom;
    return nullptr;
  }

  // The clause (not premises...) or conclusion.
  void implies(Comp *comp, std::vector<Atom *> premises, Atom *conclusion) {
    Clause *clause = keep(new Clause(conclusion, false, comp));
    for (Atom *premise : premises)
      clause->addAtom(premise, true);
  }

  void addComponent(int index) {
    auto comp = std::make_unique<Comp>("c" + std::to_string(index));
    Comp *c = comp.get();
    c->varName = c->name;
    std::string fault = "broken";
    ModeVar *mode = variable<ModeVar>(c, "m", {"ok", "stuck", fault, "unknown"}, "ok");
    CommandVar *command = variable<CommandVar>(c, "cmd", {"off", "on"}, "off");
    command->cmdIn = true;
    CondVar *cond = variable<CondVar>(c, "hot", {"no", "yes"}, "no");
    ObsVar *obs = variable<ObsVar>(c, "o", {"high", "low", "zero"}, "low");
    DependentVar *dep = variable<DependentVar>(c, "d", {"high", "low"}, "low");
    // A failure transition makes the fault value a fault atom.
    transitions.emplace_back(new Transition(new StateFormula(valueOf(mode, "ok"), true),
                                            new StateFormula(valueOf(mode, fault), true), "Fail",
                                            0.01));
    transitions.emplace_back(new Transition(new StateFormula(valueOf(dep, "high"), true),
                                            new StateFormula(valueOf(mode, "ok"), true),
                                            "Nominal", 1.0));
    Atom *previousHigh = nullptr;
    if (index > 0 && (!pairs || index % 2 == 1)) {
      Comp *previous = comps.back().get();
      c->importedComps = new std::vector<Comp *>{previous};
      previousHigh = valueOf(previous->getStateVariable(previous->name + ".d"), "high");
    }
    std::uniform_int_distribution<int> coin(0, 3);
    Atom *ok = valueOf(mode, "ok"), *on = valueOf(command, "on"), *off = valueOf(command, "off");
    Atom *hot = valueOf(cond, "yes");
    implies(c, {ok, on}, valueOf(obs, "high"));
    implies(c, {ok, off}, valueOf(obs, "low"));
    implies(c, {valueOf(mode, "stuck")}, valueOf(obs, coin(random) ? "high" : "low"));
    implies(c, {valueOf(mode, fault)}, valueOf(obs, "zero"));
    implies(c, {ok, on}, valueOf(dep, "high"));
    if (previousHigh)
      implies(c, {ok, previousHigh, coin(random) ? hot : on}, valueOf(dep, "high"));
    if (coin(random) == 0)
      implies(c, {hot}, valueOf(dep, "low"));
    else
      implies(c, {hot, ok}, valueOf(obs, coin(random) ? "high" : "zero"));
    implies(c, {valueOf(dep, "high")}, coin(random) ? ok : on);
    DataManager::addComp(c);
    auto instance = std::make_unique<s_component>();
    instance->comp = c;
    instance->varName = c->name;
    instancesByRank[index + 1] = instance.get();
    instances.push_back(std::move(instance));
    comps.push_back(std::move(comp));
  }

  std::mt19937 random;
  bool pairs;
  std::vector<std::unique_ptr<Transition>> transitions;
  std::vector<std::function<void()>> releases;
};

#endif
