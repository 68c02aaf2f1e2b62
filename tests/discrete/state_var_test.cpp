#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "discrete/state_var.h"
#include "tests/discrete/discrete_test_support.h"

namespace {

std::vector<std::string> idsOf(StateVar *variable) {
  std::vector<std::string> ids;
  for (size_t i = 0; i < variable->atomLinks.size(); ++i) {
    EXPECT_EQ(variable->atomLinks[i]->linkIndex, static_cast<int>(i));
    EXPECT_EQ(variable->atomLinks[i]->getStateVar(), variable);
    ids.push_back(variable->atomLinks[i]->getId());
  }
  return ids;
}

TEST(StateVar, EveryKindNamesItselfAndNumbersItsAtomsInCreationOrder) {
  Owner owner;
  const std::set<std::string> domain = {"on", "off", "unknown"};
  struct Case {
    StateVar *variable;
    std::string type;
  } cases[] = {
      {owner.variable<StateVar>("p.bare", domain, "off"), ""},
      {owner.variable<ModeVar>("p.mode", domain, "off"), "Mode"},
      {owner.variable<DependentVar>("p.dep", domain, "off"), "Dependent"},
      {owner.variable<ObsVar>("p.obs", domain, "off"), "Observable"},
      {owner.variable<CommandVar>("p.cmd", domain, "off"), "Command"},
      {owner.variable<CondVar>("p.cv", domain, "off"), "Cond"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.variable->getName());
    EXPECT_EQ(c.variable->getType(), c.type);
    std::string name = c.variable->getName();
    EXPECT_EQ(idsOf(c.variable),
              (std::vector<std::string>{name + "=off", name + "=on", name + "=unknown"}));
    EXPECT_EQ(c.variable->getDefault(), name + "=off");
    EXPECT_EQ(c.variable->getCurrentState(), "off");
  }
}

TEST(StateVar, AtomsFollowWrittenValuesWhileTheDomainPrintsSorted) {
  Owner owner;
  CondVar *conditions = owner.keep(new CondVar());
  conditions->setName("v.cv");
  for (int k = 0; k <= 10; ++k)
    conditions->addValue("c" + std::to_string(k));
  conditions->addValue("c1");  // a repeated value adds nothing
  conditions->createAtoms();
  std::vector<std::string> expected;
  for (int k = 0; k <= 10; ++k)
    expected.push_back("v.cv=c" + std::to_string(k));
  EXPECT_EQ(idsOf(conditions), expected);
  EXPECT_EQ(printed([&] { conditions->showValues(); }),
            "\t\tv.cv\n\t\tType: Cond\n\t\tValues: \n"
            "\t\t{ c0  c1  c10  c2  c3  c4  c5  c6  c7  c8  c9  }\n\n");
  for (Atom *atom : conditions->atomLinks)
    delete atom;
}

// A default or an atom outside the domain is reported: the refused default
// is current all the same, the atom is linked to nothing.
TEST(StateVar, ValuesOutsideTheDomainAreReported) {
  Owner owner;
  StateVar *variable = nullptr;
  EXPECT_EQ(printed([&] { variable = owner.keep(new StateVar("x", {"a", "b"}, "c")); }),
            "StateVar --> Wrong default value");
  EXPECT_EQ(variable->getDefault(), "");
  EXPECT_EQ(variable->getCurrentState(), "c");
  EXPECT_EQ(printed([&] { variable->setDefault("b"); }), "");
  EXPECT_EQ(variable->getDefault(), "x=b");
  std::unique_ptr<Atom> atom;
  EXPECT_EQ(printed([&] { atom = std::make_unique<Atom>(variable, "z", "x=z"); }),
            "Atom --> Cannot create the atom : value not in the variable domain\n");
  EXPECT_EQ(atom->getStateVar(), nullptr);
  EXPECT_EQ(atom->getValue(), "");
  EXPECT_TRUE(variable->atomLinks.empty());
  EXPECT_FALSE(atom->evalAtom());
}

TEST(StateVar, SettingAnAtomLabelsItsSiblings) {
  Owner owner;
  ModeVar *mode = owner.variable<ModeVar>("m", std::set<std::string>{"a", "b", "c"}, "a");
  Atom *a = mode->atomLinks[0], *b = mode->atomLinks[1], *c = mode->atomLinks[2];
  b->set();
  EXPECT_EQ(a->getLabel() + b->getLabel() + c->getLabel(), "falsetruefalse");
  EXPECT_TRUE(b->evalAtom());
  EXPECT_FALSE(a->evalAtom());
  EXPECT_EQ(mode->getCurrentState(), "b");
  EXPECT_EQ(a->getAtomLink("m=c"), c);
  EXPECT_EQ(a->getAtomLink("m=z"), nullptr);

  for (Atom *atom : mode->atomLinks)
    atom->setLabel("unknown");
  a->setLabel("true", false);
  c->setLabel("false", true);
  EXPECT_EQ(a->getLabel() + b->getLabel() + c->getLabel(), "trueunknownfalse");
  b->setLabel("true", true);
  EXPECT_EQ(a->getLabel() + b->getLabel() + c->getLabel(), "falsetruefalse");
}

} // namespace
