#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "codegen/atom_names.h"
#include "codegen/class_generation.h"
#include "codegen/discrete_elements.h"
#include "codegen/generated_files.h"
#include "codegen_support.h"
#include "common/session.h"
#include "discrete/clause.h"
#include "discrete/formula.h"
#include "discrete/state_var.h"
#include "discrete/transition.h"
#include "languages/model/loaded_model.h"
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
  EXPECT_EQ(header.text(), "\tModeVar* Valve_mode;\n\tAtom* Valve_mode_ok;\n\tAtom* Valve_mode_stuck;\n");
  EXPECT_EQ(body.text(),
            "\n\tset<string> Valve_mode_values;\n\tValve_mode_values.insert(\"ok\");\n"
            "\tValve_mode_values.insert(\"stuck\");\n\tstring modename = name + \".mode\";\n"
            "\tValve_mode = new ModeVar(modename, Valve_mode_values, \"valve.mode=ok\", this);\n\t"
            "\taddStateVar(Valve_mode);\n\n"
            "\tValve_mode_ok = new Atom(Valve_mode, \"ok\", name + \".mode=ok\");\n"
            "\t\t(*atoms)[\"Valve_mode_ok\"]=Valve_mode_ok;\n\t"
            "\tValve_mode_stuck = new Atom(Valve_mode, \"stuck\", name + \".mode=stuck\");\n"
            "\t\t(*atoms)[\"Valve_mode_stuck\"]=Valve_mode_stuck;\n\t");
  gen.typeGeneratedAlready = true;
  EXPECT_EQ(written([&] { geneStateVar(gen, valve, mode, shared); }), "");

  // An input command is exogenous; the output commands go into one vector,
  // made at the first.
  gen.typeGeneratedAlready = false;
  CommandVar *cmd = stateVar<CommandVar>(valve, "cmd", {"open"});
  cmd->cmdIn = true;
  std::string text = written([&] { geneStateVar(gen, valve, cmd, shared); });
  EXPECT_NE(text.find("\"valve.cmd=open\", this);\n\tValve_cmd->exo = 1;\n\t\taddStateVar"), std::string::npos);
  EXPECT_EQ(text.find("cmd_out"), std::string::npos);
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
      s_cond *cond = newRecord<s_cond>();
      cond->num = number++;
      cond->at = a;
      variable->conditions.push_back(cond);
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
  Comp *pump = component("pump", "Pump");
  ModeVar *mode = stateVar<ModeVar>(valve, "mode", {"ok", "stuck"});
  ModeVar *motor = stateVar<ModeVar>(pump, "motor", {"on"});
  Clause external(valve);
  external.addAtom(atomOf(mode, "ok"), true);
  external.addAtom(atomOf(motor, "on"), false);
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

// With 1000 clauses the code stays in the runtime source; above, it goes to
// clause files of at most 1000 clauses each, named after the instance.
TEST_F(DiscreteElements, ClauseFilesAboveTheThreshold) {
  ScratchDirectory directory;
  ASSERT_EQ(std::system("mkdir runtime"), 0);
  std::string savedHeader = loadedModel.clauseHeader;
  loadedModel.clauseHeader = "#include \"../C/Valve.h\"\n";
  std::vector<Clause *> *savedClauses = DataManager::cls;
  std::vector<Clause *> model(1000, nullptr);
  DataManager::cls = &model;

  Comp *valve = component("valve", "Valve");
  Clause clause(valve);
  clause.addAtom(atomOf(stateVar<ModeVar>(valve, "mode", {"ok"}), "ok"), false);
  geneClause(gen, valve, &clause, nullptr);
  EXPECT_NE(runtime.text().find("Clause* cl1 = new Clause (valve);"), std::string::npos);

  model.push_back(nullptr);
  gen.nextClauseFileNumber = 0;
  geneClausesFileHeaders(gen, valve);
  valve->clauseCount = 1000;
  geneClause(gen, valve, &clause, nullptr);
  std::fclose(gen.clauseBodyFile);
  std::fclose(gen.clauseHeaderFile);
  gen.clauseBodyFile = gen.clauseHeaderFile = nullptr;
  // The compile puts the clause files in place once all are written.
  for (const char *base : {"runtime/cl_valve0", "runtime/cl_valve1"})
    for (const char *extension : {".h", ".cpp"})
      settleGeneratedFile(std::string(base) + extension);
  EXPECT_EQ(fileText("runtime/cl_valve0.h"), "#include \"../C/Valve.h\"\n\n\textern void init_cl_valve0 (Scheduler* sMM);\n\t");
  EXPECT_EQ(fileText("runtime/cl_valve0.cpp"), "#include \"cl_valve0.h\"\n\nvoid init_cl_valve0 (Scheduler* sMM) {\n\t}\n");
  EXPECT_EQ(fileText("runtime/cl_valve1.cpp"),
            "#include \"cl_valve1.h\"\n\nvoid init_cl_valve1 (Scheduler* sMM) {\n\t"
            "\n\tClause* cl2 = new Clause (valve);\n\tcl2->addAtomRef(valve->Valve_mode_ok, true);\n"
            "\tcl2->setInternal(0);\n\tvalve->external_clauses->push_back(cl2);\n\tsMM->cls->push_back (cl2);\n\t");
  EXPECT_EQ(gen.clauseFiles, (std::vector<std::string>{"runtime/cl_valve0", "runtime/cl_valve1"}));
  EXPECT_EQ(runtimeHeader.text(), "extern void init_cl_valve0 (Scheduler* sMM);\n\t"
                                  "extern void init_cl_valve1 (Scheduler* sMM);\n\t");
  EXPECT_NE(runtime.text().find("init_cl_valve0 (sMM);\n\tinit_cl_valve1 (sMM);\n\t"), std::string::npos);

  DataManager::cls = savedClauses;
  loadedModel.clauseHeader = savedHeader;
}

TEST_F(DiscreteElements, TransitionsOfALaterInstanceReuseTheirNumbers) {
  Comp *first = component("valve", "Valve");
  Comp *second = component("spare", "Valve");
  Transition *transitions[2];
  std::vector<s_mapfVar *> resets[2];
  for (int which : {0, 1}) {
    Comp *comp = which == 0 ? first : second;
    ModeVar *pos = stateVar<ModeVar>(comp, "pos", {"closed", "opened"});
    auto *pre = new StateFormula(atomOf(pos, "closed"));
    pre->setOperat("and");
    auto *post = new StateFormula(atomOf(pos, "opened"), false);
    transitions[which] = new Transition(pre, post, "Nominal", 0.99, 0.05, false);
    transitions[which]->id = 3;
    resets[which].push_back(record(s_mapfVar{contVariable(std::string(comp->getVarName()) + ".flow"),
                                             nullptr, record(s_expr{0, nullptr, exprConst, nullptr, nullptr})}));
    transitions[which]->mf = new std::vector<MapFunc *>{new MapFunc(&resets[which])};
    comp->addTransitionToC(transitions[which]);
  }
  gen.transitionCount = 2;
  gen.stateFormulaCount = 5;
  geneTransition(gen, first, transitions[0]);
  EXPECT_EQ(header.text(), "\tStateFormula* Valve_stf5;\n\tStateFormula* Valve_stf6;\n"
                           "\n\texpr s_1;\n\t\n\tTransition* Valve_t2;\n");
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
  updateEltsNum(gen, second);
  EXPECT_EQ(written([&] { geneTransition(gen, second, transitions[1]); }), "");
  EXPECT_EQ(geneTransitionNumber(transitions[1]), 2);
  EXPECT_EQ(transitions[1]->pre->tag * 10 + transitions[1]->post->tag, 56);
  EXPECT_EQ(gen.mappingExprRegistrations, "aMF[0] = valve->s_1;\n\taMF[1] = spare->s_1;\n\t");
  EXPECT_EQ(gen.transitionCount, 3);
  EXPECT_EQ(gen.stateFormulaCount, 9);
}

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
      {state, symbClauseAtom, false, "", "tank->Tank_state_ok", ""},
      {pos, symbClauseAtom, false, "", "valve->Valve_pos_opened", ""},
      {state, symbFormulaAtom, false, "", "\tTank_stf4->addAtom (Tank_state_ok, 1);\n", ""},
      {state, symbFormulaAtom, false, "hot", "\tTank_stf4->addAtom (Tank_state_oktank1_hot, 1);\n", ""},
      {pos, symbFormulaAtom, false, "", "Tank_stf4->addAtom ((*inlet->atoms)[\"Valve_pos_opened\"], 1);\n", ""},
      {pos, symbFormulaAtom, false, "hot",
       "Tank_stf4->addAtom ((*inlet->atoms)[string (\"Valve_pos_opened\" + name + \"_hot\").c_str ()], 1);\n", ""},
      {pos, symbFormulaAtom, true, "", "", "\ttank->Tank_stf4->addAtom (valve->Valve_pos_opened, 1);\n"},
      {pos, symbFormulaAtom, true, "hot", "",
       "\ttank->Tank_stf4->addAtom ((*valve->atoms)[\"Valve_pos_openedtank1_hot\"], 1);\n"},
      {state, symbCondAtom, false, "", "\tsetCondAtom (c_4, Tank_state_ok);\n\t", ""},
      {pos, symbCondAtom, false, "", "\tsetCondAtom (c_4, inlet->Valve_pos_opened);\n\t", ""},
      {pos, symbCondAtom, true, "", "NULL", "\tsetCondAtom (tank->c_4, valve->Valve_pos_opened);\n\t"},
  };
  for (const auto &c : cases) {
    gen.crossReferences.clear();
    valve->generated = c.valveGenerated;
    const std::string x = c.variable->atomLinks.front()->value;
    EXPECT_EQ(geneDiscSymbName(gen, c.variable, tank, c.mode, "4", x, "1", c.c), c.expected)
        << c.expected;
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
