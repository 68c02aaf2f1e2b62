#include <string>

#include "tests/reasoning/reasoning_test_support.h"

namespace {

// Three variables A, B, C over {ko, ok, on}.
class FormulaCompilation : public testing::Test, public ReasonerModelBuilder {
 protected:
  FormulaCompilation() {
    for (const char *name : {"A", "B", "C"})
      variable<StateVar>(component(name), name, {"on", "ok", "ko"}, "on");
  }
  Formula *implies(const std::string &pre, const std::string &post, const char *preOp = "and",
                   const char *postOp = "and") {
    return new Formula(formula(preOp, pre), formula(postOp, post), nullptr);
  }
  // The clauses of one constraint; everything is released.
  std::vector<Literals> compiled(Formula *constraint) {
    std::unique_ptr<Formula> owned(constraint);
    std::vector<Clause *> out;
    printed([&] { reasoner->compileFormula(constraint, &out, nullptr); });
    std::vector<Literals> clauses = literalsOf(out);
    for (Clause *clause : out)
      delete clause;
    return clauses;
  }
};

// Each shape of formula: a negated conjunction or a disjunction gives one
// clause, the others one clause per literal; the premise's clauses join each
// of the conclusion's.
TEST_F(FormulaCompilation, EachShapeOfFormula) {
  EXPECT_EQ(compiled(implies("A=on !B=ok", "C=on B=ko", "and", "or")),
            (std::vector<Literals>{{"!A=on", "B=ok", "C=on", "B=ko"}}));
  EXPECT_EQ(compiled(implies("A=on !B=ok", "C=on !B=ko", "or", "and")),
            (std::vector<Literals>{{"!A=on", "C=on"}, {"!A=on", "!B=ko"}, {"B=ok", "C=on"}, {"B=ok", "!B=ko"}}));
  // A lone literal is taken as positive.
  EXPECT_EQ(compiled(implies("!A=on", "!B=ok", "", "")), (std::vector<Literals>{{"!A=on", "B=ok"}}));
  EXPECT_TRUE(compiled(implies("", "C=on", "", "and")).empty());
  // Without a premise a constraint is the conjunction of its parts.
  EXPECT_EQ(compiled(new Formula(nullptr, nullptr, new std::vector<Formula *>{
                                   implies("A=on", "B=ok"), implies("C=on", "A=ko")})),
            (std::vector<Literals>{{"!A=on", "B=ok"}, {"!C=on", "A=ko"}}));
  // not (C=on and (A=on or B=ok)) = (not C=on or not A=on) and (not C=on or not B=ok)
  Formula *nested = implies("C=on", "A=ko");
  nested->pre->addStateFormula(formula("or", "A=on B=ok"));
  EXPECT_EQ(compiled(nested),
            (std::vector<Literals>{{"!C=on", "!B=ok", "A=ko"}, {"!C=on", "!A=on", "A=ko"}}));
  // Every nested formula gets its own unit clauses.
  Formula *twice = implies("C=on", "A=ko", "or");
  twice->pre->addStateFormula(formula("and", "A=on"));
  twice->pre->addStateFormula(formula("and", "B=ok"));
  EXPECT_EQ(compiled(twice),
            (std::vector<Literals>{{"!C=on", "!A=on", "A=ko"}, {"!C=on", "!B=ok", "A=ko"}}));
  // A nested "and" conclusion compiles to nothing; so does an unknown operator.
  Formula *conclusion = implies("B=ok", "C=on");
  conclusion->post->addStateFormula(formula("or", "A=on"));
  EXPECT_TRUE(compiled(conclusion).empty());
  Formula *odd = implies("B=ok", "C=on");
  odd->post->operat = "xor";
  EXPECT_TRUE(compiled(odd).empty());
}

// Two components: c1 has a mode m, an input command cmd and a one-valued k;
// c2 has a mode n and shares cmd.
class ModelCompilation : public testing::Test, public ReasonerModelBuilder {
 protected:
  ModelCompilation() : c1(component("c1")), c2(component("c2")) {
    m = variable<ModeVar>(c1, "m", {"a", "b"}, "a");
    cmd = variable<CommandVar>(c1, "cmd", {"go", "stop"}, "stop");
    k = variable<StateVar>(c1, "k", {"only"}, "only");
    n = variable<ModeVar>(c2, "n", {"x", "y", "z"}, "y");
    c1->cmdIn = new std::vector<CommandVar *>{cmd};
    c2->stateVariables->push_back(cmd);
    c1->addFormulaToCS(new Formula(formula("", "m=b"), formula("", "k=only"), nullptr));
    transition(c1, "m=a cmd=go", "m=b", "Nominal", 0.9);
    transition(c1, "m=a", "m=a", "Nominal", 1.0, true);
    transition(c2, "n=x", "n=z", "Fail", 0.5);
    transition(c2, "n=x", "n=y", "Nominal", 0.5);
    transition(c2, "n=y", "n=x", "Nominal", 1.0);
    compile();
  }
  void transition(Comp *comp, const std::string &pre, const std::string &post, const char *type,
                  double p, bool idle = false) {
    comp->addTransitionToC(new Transition(formula("and", pre), formula("and", post), type, p, idle));
  }
  Transition *nth(Comp *comp, int i) { return (*comp->transitions)[i]; }

  Comp *c1, *c2;
  StateVar *m, *k, *n;
  CommandVar *cmd;
};

// The summary printed is checked in sessions (tests/e2e/compile).
TEST_F(ModelCompilation, DomainsOnceEachThenConstraintsThenInitialLabels) {
  EXPECT_EQ(literalsOf(*DataManager::cls),
            (std::vector<Literals>{{"!m=a", "!m=b"}, {"m=a", "m=b"}, {"!cmd=go", "!cmd=stop"},
                                   {"cmd=go", "cmd=stop"}, {"k=only"}, {"!m=b", "k=only"},
                                   {"!n=x", "!n=y"}, {"!n=x", "!n=z"}, {"!n=y", "!n=z"},
                                   {"n=x", "n=y", "n=z"}}));
  EXPECT_EQ(*reasoner->stateVars, (std::vector<StateVar *>{m, cmd, k, n}));
  EXPECT_EQ(c1->atoms->size(), 5u);
  EXPECT_EQ(c2->atoms->size(), 3u);
  // The default values are the true atoms of the initial state.
  for (const char *id : {"m=a", "n=y", "cmd=stop", "k=only"})
    EXPECT_TRUE(atom(id)->label == "true" && atom(id)->propagationNumber == 1) << id;
  for (const char *id : {"m=b", "n=x", "n=z"})
    EXPECT_TRUE(atom(id)->label == "false" && atom(id)->propagationNumber == 0) << id;
  EXPECT_DOUBLE_EQ(atom("n=z")->proba, 0.5);

  // Compiling again rebuilds the domains; the constraints are gone.
  compile();
  EXPECT_EQ(reasoner->nbClauses, 9);
  EXPECT_EQ(m->clauses.size(), 2u);
}

TEST_F(ModelCompilation, TransitionsAreNumberedWeighedAndGuarded) {
  const std::pair<Transition *, double> expected[] = {
      {nth(c1, 0), 0.45}, {nth(c1, 1), 0.5}, {nth(c2, 0), 0.5 / 3}, {nth(c2, 1), 0.5 / 3},
      {nth(c2, 2), 1.0 / 3}};
  for (int id = 0; id < 5; ++id) {
    EXPECT_EQ(expected[id].first->id, id);
    EXPECT_EQ(DataManager::active_trans.at(id), expected[id].first);
    EXPECT_DOUBLE_EQ(expected[id].first->computedProba, expected[id].second) << id;
  }
  // The idle transition without command is enabled by every command value.
  for (const char *id : {"cmd=go", "cmd=stop"})
    EXPECT_EQ(atom(id)->transPre.back(), nth(c1, 1));
  // Guards are counted afresh by a second compilation.
  EXPECT_EQ(n->nbGuards, 2);
  compile();
  EXPECT_EQ(n->nbGuards, 2);
  EXPECT_EQ(atom("cmd=go")->transPre.size(), 2u);
}

// The prime implicant file holds one line per entry in entry order; a
// replaced entry keeps its first place, an entry without implicants is
// written but not read. Guards then expand over the implicants of their atoms.
TEST_F(ModelCompilation, PrimeImplicantsReadWrittenAndExpandedOver) {
  ScratchDirectory directory;
  PiTable *table = reasoner->piTable = new PiTable();
  EXPECT_EQ(readPIText("n=x:cmd=go\nk=only:\nm=a:n=y,n=z cmd=stop\nn=x:m=b\n",
                       *DataManager::active_atoms, table), 1);
  EXPECT_EQ(table->getPIs(atom("k=only")), nullptr);
  table->addPIAtom(atom("k=only"), new Implicants());
  EXPECT_EQ(printed([&] { table->writePI("appli"); }), "writing file appli.pi\n");
  EXPECT_EQ(fileText("appli.pi"), "n=x:m=b\nm=a:n=y,n=z cmd=stop\nk=only:\n");
  EXPECT_EQ(printed([&] { reasoner->compilePI(); }), "transitions compilation successful.\n");
}

// Reading stops at the first unknown atom, which is reported.
TEST_F(ModelCompilation, ReadingImplicantsStopsAtTheFirstUnknownAtom) {
  struct Case {
    const char *text, *error;
    std::size_t entries;
  } const cases[] = {
      {"n=x:m=a\nm=b:n=y", "", 1},  // a last line without newline is lost
      {"n=x:m=a\nx=1:m=b\nm=b:n=y\n", "Atom not found: x=1\n", 1},
      {"n=x:m=a\nm=b:n=y z=2\n", "Atom not found: z=2\n", 1},
      {"n=x:\nn=y:,m=a\n", "", 0},  // an empty first piece adds nothing
      {"", "", 0},
      {"\n", "Atom not found: \n", 0},
  };
  for (const Case &c : cases) {
    PiTable table;
    int result = 0;
    EXPECT_EQ(printedOnStderr([&] { result = readPIText(c.text, *DataManager::active_atoms, &table); }),
              c.error);
    EXPECT_EQ(result, *c.error ? -1 : 1) << c.text;
    EXPECT_EQ(table.size(), c.entries) << c.text;
  }
}

}  // namespace
