#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "codegen/atom_names.h"
#include "codegen/class_generation.h"
#include "codegen/discrete_elements.h"
#include "codegen/generated_files.h"
#include "codegen_support.h"
#include "discrete/clause.h"
#include "discrete/formula.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
#include "tests/discrete/discrete_test_support.h"

namespace {

class DiscreteElements : public GenerationTest {
 protected:
  // A state variable of the component with its atoms, as the declaration pass makes it.
  template <typename Var> Var *stateVar(Comp *comp, const std::string &symbol, std::set<std::string> values) {
    Var *variable =
        owner.variable<Var>(std::string(comp->getVarName()) + "." + symbol, values, *values.begin(), comp);
    variable->setSymbName(symbol);
    comp->addStateVar(variable);
    return variable;
  }
  std::string written(const std::function<void()> &generate) {
    MemoryFile out;
    gen.classBodyFile = out.file;
    generate();
    gen.classBodyFile = body.file;
    return out.text();
  }
  Owner owner;
};

TEST_F(DiscreteElements, ModeVariableMembersValuesAndAtoms) {
  Comp *valve = component("valve", "Valve");
  ModeVar *mode = stateVar<ModeVar>(valve, "mode", {"stuck", "ok"});
  InstanceStateVars shared;
  geneStateVar(gen, valve, mode, shared);
  EXPECT_EQ(body.text(),
            "\n\tset<string> Valve_mode_values;\n\tValve_mode_values.insert(\"ok\");\n"
            "\tValve_mode_values.insert(\"stuck\");\n\tstring modename = name + \".mode\";\n"
            "\tValve_mode = new ModeVar(modename, Valve_mode_values, \"valve.mode=ok\", this);\n\t"
            "\taddStateVar(Valve_mode);\n\n"
            "\tValve_mode_ok = new Atom(Valve_mode, \"ok\", name + \".mode=ok\");\n"
            "\t\t(*atoms)[\"Valve_mode_ok\"]=Valve_mode_ok;\n\t"
            "\tValve_mode_stuck = new Atom(Valve_mode, \"stuck\", name + \".mode=stuck\");\n"
            "\t\t(*atoms)[\"Valve_mode_stuck\"]=Valve_mode_stuck;\n\t");

  // An input command is exogenous; the output commands go into one vector,
  // made at the first. (That an input command is not issued, the runtimes of
  // tests/runtime show.)
  CommandVar *cmd = stateVar<CommandVar>(valve, "cmd", {"open"});
  cmd->cmdIn = true;
  std::string text = written([&] { geneStateVar(gen, valve, cmd, shared); });
  EXPECT_NE(text.find("\"valve.cmd=open\", this);\n\tValve_cmd->exo = 1;\n\t\taddStateVar"), std::string::npos);
  CommandVar *power = stateVar<CommandVar>(valve, "power", {"on"});
  CommandVar *light = stateVar<CommandVar>(valve, "light", {"on"});
  power->cmdOut = light->cmdOut = true;
  std::string first = written([&] { geneStateVar(gen, valve, power, shared); });
  EXPECT_EQ(first.substr(first.find("\tcmd_out")),
            "\tcmd_out = new vector<CommandVar*>();\n\tcmd_out->push_back (Valve_power);\n\t");
  std::string second = written([&] { geneStateVar(gen, valve, light, shared); });
  EXPECT_EQ(second.substr(second.find("\tcmd_out")), "\tcmd_out->push_back (Valve_light);\n\t");
}

// Two condition variables over the level: slots 0-1 for the first, 2 for the second.
TEST_F(DiscreteElements, ConditionVariablesShareTheSlotsOfTheirVariable) {
  Comp *tank = component("tank", "Tank");
  s_variable *level = contVariable("tank.level");
  CondVar *high = stateVar<CondVar>(tank, "high", {"high0", "high1"});
  CondVar *low = stateVar<CondVar>(tank, "low", {"low0"});
  long number = 1;
  for (CondVar *variable : {high, low}) {
    variable->variables.push_back(level);
    for (Atom *a : variable->atomLinks) {
      variable->conditions.push_back(record(s_cond{"", number++}));
      variable->conditions.back()->at = a;
    }
  }
  InstanceStateVars shared;
  std::string first = written([&] { geneStateVar(gen, tank, high, shared); });
  EXPECT_EQ(first.substr(first.find("level->")),
            "level->ncd = 2;\n\tlevel->relCd = (long*) new_malloc (2*sizeof (long));\n\t"
            "\tTank_high->conditions->insert(pair<const char*, int>(Tank_high_high0->getId(), 0));\n"
            "\tTank_high_high0->cond = 1;\n\tlevel->relCd[0] = 0;\n\t"
            "\tTank_high->conditions->insert(pair<const char*, int>(Tank_high_high1->getId(), 1));\n"
            "\tTank_high_high1->cond = 1;\n\tlevel->relCd[1] = 1;\n\t");
  std::string second = written([&] { geneStateVar(gen, tank, low, shared); });
  EXPECT_EQ(second.substr(second.find("level->")),
            "level->ncd += 1;\n\tlevel->relCd = (long*) realloc (level->relCd, level->ncd*sizeof (long));\n\t"
            "\tTank_low->conditions->insert(pair<const char*, int>(Tank_low_low0->getId(), 2));\n"
            "\tTank_low_low0->cond = 1;\n\tlevel->relCd[2] = 2;\n\t");
}

// A clause's negated literal (key true) is generated as false.
TEST_F(DiscreteElements, ClausesAreNumberedAcrossTheRunAndWriteTrueForPositiveLiterals) {
  Comp *valve = component("valve", "Valve");
  ModeVar *mode = stateVar<ModeVar>(valve, "mode", {"ok", "stuck"});
  Clause external(valve);
  external.addAtom(atomOf(mode, "ok"), true);
  external.addAtom(atomOf(stateVar<ModeVar>(component("pump", "Pump"), "motor", {"on"}), "on"), false);
  Clause internal(valve);
  internal.addAtom(atomOf(mode, "stuck"), false);
  internal.setInternal(true);
  gen.clauseCount = 6;
  geneClause(gen, valve, &external, nullptr);
  geneClause(gen, valve, &internal, mode);
  EXPECT_EQ(runtime.text(),
            "\n\tClause* cl7 = new Clause (valve);\n\tcl7->addAtomRef(valve->Valve_mode_ok, false);\n"
            "\tcl7->addAtomRef(pump->Pump_motor_on, true);\n\tcl7->setInternal(0);\n\t"
            "valve->external_clauses->push_back(cl7);\n\tsMM->cls->push_back (cl7);\n\t"
            "\n\tClause* cl8 = new Clause (valve);\n\tcl8->addAtomRef(valve->Valve_mode_stuck, true);\n"
            "\tcl8->setInternal(1);\n\tvalve->Valve_mode->internal_clauses->push_back(cl8);\n"
            "sMM->cls->push_back (cl8);\n\t");
}

// With 1000 clauses the code stays in the runtime source; above, each instance
// writes its clauses to files of at most 1000 clauses, named after it, and a
// later instance of the type starts its conditions where the first one's ended.
TEST_F(DiscreteElements, ClauseFilesAboveTheThreshold) {
  ScratchDirectory directory;
  ASSERT_EQ(std::system("mkdir runtime"), 0);
  loadedModel.clauseHeader = "#include \"../C/Valve.h\"\n";
  std::vector<Clause *> *savedClauses = DataManager::cls;
  std::vector<Clause *> model(1000, nullptr);
  DataManager::cls = &model;
  auto clauseText = [](long n) {
    const std::string cl = "cl" + std::to_string(n);
    return "\n\tClause* " + cl + " = new Clause (valve);\n\t" + cl +
           "->addAtomRef(valve->Valve_mode_ok, true);\n\t" + cl + "->setInternal(0);\n\t"
           "valve->external_clauses->push_back(" + cl + ");\n\tsMM->cls->push_back (" + cl + ");\n\t";
  };

  Comp *valve = component("valve", "Valve");
  Clause clause(valve);
  clause.addAtom(atomOf(stateVar<ModeVar>(valve, "mode", {"ok"}), "ok"), false);
  geneClause(gen, valve, &clause, nullptr);
  EXPECT_EQ(runtime.text(), clauseText(1));

  model.push_back(nullptr);
  valve->clauses = new std::vector<Clause *>(1001, &clause);
  geneComp(gen, valve);
  gen.generatedTypes.push_back("Valve");
  geneComp(gen, component("spare", "Valve"));
  // The compile puts the clause files in place once all are written.
  for (const std::string &base : gen.clauseFiles)
    for (const char *extension : {".h", ".cpp"})
      settleGeneratedFile(base + extension);
  EXPECT_EQ(gen.clauseFiles,
            (std::vector<std::string>{"runtime/cl_valve0", "runtime/cl_valve1", "runtime/cl_spare0"}));
  EXPECT_EQ(fileText("runtime/cl_valve0.h"),
            "#include \"../C/Valve.h\"\n\n\textern void init_cl_valve0 (Scheduler* sMM);\n\t");
  std::string first = fileText("runtime/cl_valve0.cpp");
  EXPECT_EQ(first.substr(0, first.find("\n\tClause* cl3 ")),
            "#include \"cl_valve0.h\"\n\nvoid init_cl_valve0 (Scheduler* sMM) {\n\t" + clauseText(2));
  EXPECT_EQ(first.substr(first.find("\n\tClause* cl1001 ")), clauseText(1001) + "}\n");
  EXPECT_EQ(fileText("runtime/cl_valve1.cpp"),
            "#include \"cl_valve1.h\"\n\nvoid init_cl_valve1 (Scheduler* sMM) {\n\t" + clauseText(1002) +
                "}\n");
  EXPECT_EQ(fileText("runtime/cl_spare0.cpp"),
            "#include \"cl_spare0.h\"\n\nvoid init_cl_spare0 (Scheduler* sMM) {\n\t}\n");
  EXPECT_EQ(runtimeHeader.text(), "extern void init_cl_valve0 (Scheduler* sMM);\n\t"
                                  "extern void init_cl_valve1 (Scheduler* sMM);\n\t"
                                  "extern void init_cl_spare0 (Scheduler* sMM);\n\t");
  EXPECT_EQ(runtime.text(), clauseText(1) + "init_cl_valve0 (sMM);\n\tinit_cl_valve1 (sMM);\n\t"
                                            "\tspare->condition_offset = 0;\n\tinit_cl_spare0 (sMM);\n\t");
  DataManager::cls = savedClauses;
}

TEST_F(DiscreteElements, TransitionsOfALaterInstanceReuseTheirNumbers) {
  Comp *comps[] = {component("valve", "Valve"), component("spare", "Valve")};
  Transition *transitions[2];
  std::vector<s_mapfVar *> resets[2];
  for (int which : {0, 1}) {
    ModeVar *pos = stateVar<ModeVar>(comps[which], "pos", {"closed", "opened"});
    auto *pre = new StateFormula(atomOf(pos, "closed"));
    pre->setOperat("and");
    auto *post = new StateFormula(atomOf(pos, "opened"), false);
    transitions[which] = new Transition(pre, post, "Nominal", 0.99, 0.05, false);
    transitions[which]->id = 3;
    resets[which].push_back(record(s_mapfVar{contVariable(std::string(comps[which]->getVarName()) + ".flow"),
                                             nullptr, record(s_expr{0, nullptr, exprConst, nullptr, nullptr})}));
    transitions[which]->mf = new std::vector<MapFunc *>{new MapFunc(&resets[which])};
    comps[which]->addTransitionToC(transitions[which]);
  }
  gen.transitionCount = 2;
  gen.stateFormulaCount = 5;
  geneTransition(gen, comps[0], transitions[0]);
  std::string text = body.text();
  EXPECT_EQ(text.substr(0, text.find("s_1 = ")),
            "\n\tValve_stf5 = new StateFormula();\n\tValve_stf5->addAtom (Valve_pos_closed, 1);\n"
            " /* gen */\n\tValve_stf5->setOperat(\"and\");\n"
            "\n\tValve_stf6 = new StateFormula();\n\tValve_stf6->addAtom (Valve_pos_opened, 0);\n"
            " /* gen */\n\tValve_stf6->setOperat(\"\");\n");
  EXPECT_EQ(text.substr(text.find("\n\tValve_t2 =")),
            "\n\tValve_t2 = new Transition(Valve_stf5, Valve_stf6, \"Nominal\", 0.99, 0.05, 0);\n"
            "Valve_t2->trans_id = 3;\n\tValve_t2->mf = new vector<MapFunc*> ();\n\t"
            "Valve_t2->mf->push_back (new MapFunc ());\n\t"
            "(*Valve_t2->mf)[0]->mvs->push_back (mkMapfVar (getVarName (flow), 0));\n\t"
            "\n\taddTransitionToC(Valve_t2);\n\t");

  gen.generatedTypes.push_back("Valve");
  gen.typeGeneratedAlready = true;
  updateEltsNum(gen, comps[1]);
  EXPECT_EQ(written([&] { geneTransition(gen, comps[1], transitions[1]); }), "");
  EXPECT_EQ(geneTransitionNumber(transitions[1]), 2);
  EXPECT_EQ(transitions[1]->pre->tag * 10 + transitions[1]->post->tag, 56);
  EXPECT_EQ(gen.mappingExprRegistrations, "aMF[0] = valve->s_1;\n\taMF[1] = spare->s_1;\n\t");
}

// The atoms of clauses, and the local forms of formula and condition atoms, are
// those of the clause, transition and condition tests.
TEST_F(DiscreteElements, AtomsOfOtherInstances) {
  Comp *valve = component("valve", "Valve");
  Comp *tank = component("tank", "Tank");
  uses(tank, valve, "inlet");
  ModeVar *pos = stateVar<ModeVar>(valve, "pos", {"opened"});
  ModeVar *state = stateVar<ModeVar>(tank, "state", {"ok"});
  const struct {
    StateVar *variable;
    int mode;
    bool valveGenerated;
    const char *c, *expected, *crossRef;
  } cases[] = {
      {state, symbFormulaAtom, false, "hot", "\tTank_stf4->addAtom (Tank_state_oktank1_hot, 1);\n", ""},
      {pos, symbFormulaAtom, false, "", "Tank_stf4->addAtom ((*inlet->atoms)[\"Valve_pos_opened\"], 1);\n", ""},
      {pos, symbFormulaAtom, false, "hot",
       "Tank_stf4->addAtom ((*inlet->atoms)[string (\"Valve_pos_opened\" + name + \"_hot\").c_str ()], 1);\n", ""},
      {pos, symbFormulaAtom, true, "", "", "\ttank->Tank_stf4->addAtom (valve->Valve_pos_opened, 1);\n"},
      {pos, symbFormulaAtom, true, "hot", "",
       "\ttank->Tank_stf4->addAtom ((*valve->atoms)[\"Valve_pos_openedtank1_hot\"], 1);\n"},
      {pos, symbCondAtom, false, "", "\tsetCondAtom (c_4, inlet->Valve_pos_opened);\n\t", ""},
      {pos, symbCondAtom, true, "", "NULL", "\tsetCondAtom (tank->c_4, valve->Valve_pos_opened);\n\t"},
  };
  for (const auto &c : cases) {
    gen.crossReferences.clear();
    valve->generated = c.valveGenerated;
    const std::string x = c.variable->atomLinks.front()->value;
    EXPECT_EQ(geneDiscSymbName(gen, c.variable, tank, c.mode, "4", x, "1", c.c), c.expected) << c.expected;
    EXPECT_EQ(gen.crossReferences, c.crossRef);
  }

  // The tank's class cannot reach the atom: the transition is linked to it at run time.
  gen.crossReferences.clear();
  StateFormula guard(atomOf(pos, "opened"));
  gen.stateFormulaCount = 4;
  geneStateformula(gen, tank, &guard, "9", true);
  EXPECT_EQ(gen.crossReferences, "\ttank->Tank_stf4->addAtom (valve->Valve_pos_opened, 1);\n"
                                 "\ttank->Tank_t9->refAtomPre (1, valve->Valve_pos_opened);\n");
  EXPECT_EQ(body.text(), "\n\tTank_stf4 = new StateFormula();\n /* gen */\n\tTank_stf4->setOperat(\"\");\n");

  ModeVar stray("ghost.mode", {"on"}, "on");
  EXPECT_EQ(printed([&] {
              EXPECT_EQ(geneDiscSymbName(gen, &stray, tank, symbClauseAtom, "", "on", "", ""), "");
            }),
            "warning: trouble generating code for a discrete variable: ghost.mode\n");
}

}  // namespace
