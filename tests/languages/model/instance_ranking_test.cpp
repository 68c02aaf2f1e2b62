#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "discrete/comp.h"
#include "discrete/instances.h"
#include "discrete/state_var.h"
#include "languages/model/instance_ranking.h"

namespace {

// Instances with their components and commands, kept for a test.
class Model {
 public:
  s_component *declare(const std::string &type, const std::string &varName) {
    auto instance = std::make_unique<s_component>();
    instance->type = type;
    instance->varName = varName;
    components.push_back(std::make_unique<Comp>(varName));
    instance->comp = components.back().get();
    instance->comp->typeName = type;
    instance->comp->varName = varName;
    instances.push_back(std::move(instance));
    return instances.back().get();
  }
  static void uses(s_component *user, const s_component *used) {
    Comp *comp = user->comp;
    if (comp->importedComps == nullptr)
      comp->importedComps = new std::vector<Comp *>();
    comp->importedComps->push_back(used->comp);
  }
  void commandedBy(s_component *commanded, const s_component *commander) {
    commands.push_back(std::make_unique<CommandVar>(commander->varName + ".cmdout",
                                                    std::set<std::string>{"on"}, "on",
                                                    commander->comp));
    delete commanded->comp->cmdIn;
    commanded->comp->cmdIn = new std::vector<CommandVar *>{commands.back().get()};
  }

  std::vector<std::unique_ptr<s_component>> instances;

 private:
  std::vector<std::unique_ptr<Comp>> components;
  std::vector<std::unique_ptr<CommandVar>> commands;
};

std::vector<std::string> names(const std::vector<s_component *> &order) {
  std::vector<std::string> result;
  for (const s_component *instance : order)
    result.push_back(instance->varName);
  return result;
}

// The two rules as they read: walk the ranked instances for the first one
// cross-referenced, then walk those after the new one for the ones it names,
// asking for dependence afresh every time.
class WalkingRanking {
 public:
  void rank(s_component *instance) {
    const std::string &type = instance->comp->typeName;
    auto crossRefs = [&](const s_component *other) {
      return isIncludedInComp(instance->comp, type) && isIncludedInComp(other->comp, type);
    };
    auto place = order.end();
    for (auto entry = order.begin(); entry != order.end(); ++entry)
      if (*entry != instance && crossRefs(*entry)) {
        place = entry;
        break;
      }
    auto self = order.insert(place, instance);
    for (auto entry = std::next(self); entry != order.end();) {
      auto next = std::next(entry);
      if (namedByArguments(instance, *entry, crossRefs(*entry)))
        order.splice(self, order, entry);
      entry = next;
    }
  }
  std::vector<s_component *> result() const { return {order.begin(), order.end()}; }

 private:
  std::list<s_component *> order;
};

TEST(InstanceRanking, CommandChainsStandBeforeWhatTheyCommand) {
  // A controller commands the first pump, each pump the next; pumps draw from
  // tanks fed by valves.
  Model model;
  InstanceRanking ranking;
  s_component *control = model.declare("Controller", "control");
  s_component *previousPump = control;
  std::vector<s_component *> links;
  for (int link = 1; link <= 3; ++link) {
    std::string n = std::to_string(link);
    s_component *valve = model.declare("Valve", "valve_" + n);
    s_component *tank = model.declare("Tank", "tank_" + n);
    s_component *pump = model.declare("Pump", "pump_" + n);
    Model::uses(tank, valve);
    tank->args = {"0", "0", valve->varName};
    Model::uses(pump, tank);
    model.commandedBy(pump, previousPump);
    pump->args = {"0", previousPump->varName + ".cmdout", tank->varName};
    links.insert(links.end(), {valve, tank, pump});
    previousPump = pump;
  }
  control->args = {"0", "0"};
  ranking.rank(control);
  for (s_component *instance : links)
    ranking.rank(instance);
  // pump_3 depends on its own type, as pump_2 does: it stands before pump_2,
  // which its second command connection names and brings back before it, with the
  // tank it draws from; valve_3 stays behind.
  EXPECT_EQ(names(ranking.order()),
            (std::vector<std::string>{"control", "valve_1", "tank_1", "pump_1", "valve_2",
                                      "tank_2", "pump_2", "tank_3", "pump_3", "valve_3"}));
}

TEST(InstanceRanking, DependenceIsTakenWhenTheInstanceComes) {
  // a uses b before b uses anything; l0 ranks a while b is still empty. Once
  // b uses an L, a depends on L too, and c of type L stands before a.
  Model model;
  InstanceRanking ranking;
  s_component *a = model.declare("A", "a"), *b = model.declare("B", "b");
  s_component *l0 = model.declare("L", "l0"), *m = model.declare("L", "m");
  s_component *m2 = model.declare("L", "m2"), *c = model.declare("L", "c");
  Model::uses(a, b);
  ranking.rank(a);
  Model::uses(l0, m);
  ranking.rank(l0);
  Model::uses(b, m2);
  ranking.rank(b);
  Model::uses(c, m);
  ranking.rank(c);
  EXPECT_EQ(names(ranking.order()), (std::vector<std::string>{"c", "a", "l0", "b"}));
}

// A random model of 5 to 44 instances of four types, in a random order of
// instantiation; `again` adds some instantiated a second time.
std::vector<s_component *> randomModel(Model &model, std::mt19937 &random, bool again) {
  const char *const types[] = {"Pump", "Tank", "Valve", "Controller"};
  int count = 5 + static_cast<int>(random() % 40);
  for (int i = 0; i < count; ++i)
    model.declare(types[random() % 4], "i" + std::to_string(i));
  std::vector<s_component *> pending;
  for (const auto &instance : model.instances)
    pending.push_back(instance.get());
  std::shuffle(pending.begin(), pending.end(), random);
  for (int more = again ? count / 4 : 0; more > 0; --more)
    pending.push_back(pending[random() % pending.size()]);
  return pending;
}

// What the behaviour pass gives an instance: a command connection, used
// components, arguments naming them. It uses only instances of a lower index
// unless `usesAny`, and its arguments name only those unless `namesAny`.
void connect(Model &model, s_component *instance, std::mt19937 &random, bool usesAny,
             bool namesAny) {
  int index = std::stoi(instance->varName.substr(1)), count = static_cast<int>(model.instances.size());
  int useLimit = usesAny ? count : index, nameLimit = namesAny ? count : index;
  const char *const forms[] = {"", ".cmdout", ".x"};
  instance->args = {"0", "0"};
  if (nameLimit > 0 && random() % 3 == 0) {
    const s_component *commander = model.instances[random() % nameLimit].get();
    model.commandedBy(instance, commander);
    instance->args[random() % 2] = commander->varName + forms[random() % 2];
  }
  for (int u = static_cast<int>(random() % 4); u > 0 && useLimit > 0; --u) {
    const s_component *used = model.instances[random() % useLimit].get();
    if (used == instance)
      continue;
    Model::uses(instance, used);
    instance->args.push_back(used->varName + forms[random() % 3]);
  }
  if (nameLimit > 0 && random() % 4 == 0)
    instance->args.push_back(model.instances[random() % nameLimit]->varName + ".x");
}

// Ranked both ways after every instantiation. A third of the models have
// components that use each other.
TEST(InstanceRanking, AgreesWithTheWalkOnRandomModels) {
  for (unsigned seed = 1; seed <= 500; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    Model model;
    InstanceRanking ranking;
    WalkingRanking walking;
    std::vector<s_component *> pending = randomModel(model, random, true);
    for (size_t step = 0; step < pending.size(); ++step) {
      connect(model, pending[step], random, seed % 3 == 0, true);
      ranking.rank(pending[step]);
      walking.rank(pending[step]);
      ASSERT_EQ(names(ranking.order()), names(walking.result())) << "step " << step;
    }
  }
}

// Whether every instance stands after all the instances its arguments name.
bool eachAfterNamed(const std::vector<s_component *> &order) {
  for (size_t place = 0; place < order.size(); ++place)
    for (size_t later = place; later < order.size(); ++later)
      if (namedByArguments(order[place], order[later], false))
        return false;
  return true;
}

// Whether each instance of the circle names the next, and the last the first.
bool isCircle(const std::vector<s_component *> &circle) {
  for (size_t i = 0; i < circle.size(); ++i)
    if (!namedByArguments(circle[i], circle[(i + 1) % circle.size()], false))
      return false;
  return !circle.empty();
}

// Models whose instances name only instances of a lower index, so that the
// references cannot close a circle.
TEST(GenerationOrder, EveryInstanceFollowsTheInstancesItNames) {
  for (unsigned seed = 1; seed <= 900; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    Model model;
    InstanceRanking ranking;
    for (s_component *instance : randomModel(model, random, false)) {
      connect(model, instance, random, false, false);
      ranking.rank(instance);
    }
    std::vector<s_component *> ranked = ranking.order();
    GenerationOrder generation = orderAfterNamed(ranked);
    ASSERT_TRUE(generation.circle.empty());
    ASSERT_TRUE(eachAfterNamed(generation.instances));
    ASSERT_TRUE(std::is_permutation(ranked.begin(), ranked.end(), generation.instances.begin(),
                                    generation.instances.end()));
    // An order that keeps the rule is left as it is.
    EXPECT_EQ(orderAfterNamed(generation.instances).instances, generation.instances);

    // Naming back an instance of a reference closes a circle; so does an
    // instance naming itself.
    for (const auto &instance : model.instances)
      for (const auto &other : model.instances)
        if (instance != other && namedByArguments(instance.get(), other.get(), false)) {
          other->args.push_back(instance->varName);
          GenerationOrder circular = orderAfterNamed(ranked);
          EXPECT_TRUE(circular.instances.empty());
          EXPECT_TRUE(isCircle(circular.circle)) << names(circular.circle).front();
          other->args.pop_back();
        }
    s_component *self = ranked[random() % ranked.size()];
    self->args.push_back(self->varName + ".cmdout");
    EXPECT_EQ(orderAfterNamed(ranked).circle, std::vector<s_component *>{self});
  }
}

} // namespace
