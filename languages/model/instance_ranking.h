// The order in which the instances of a model are generated. Each newly
// instantiated instance c of type T is placed by two rules:
//  - when c depends on T (isIncludedInComp), it cross-references every ranked
//    instance that depends on T too, and stands before the first of them;
//    otherwise it goes last;
//  - the instances named by c's arguments that stand after it then move just
//    before it, keeping their order. An argument names an instance by its
//    variable name, whole or before a "."; for an instance that c
//    cross-references, only c's two command connections count.
// Dependence on each type is kept for every component and updated as
// instances come, so that placing an instance does not walk the ones already
// ranked. An import graph with a cycle, or an instance instantiated twice,
// falls back to walking them.
// Instances are ranked as they come, so an instance ranked before one that
// names it later is not moved: orderAfterNamed, once the model is read,
// makes the argument rule hold over the whole order.
#ifndef MORVEL_LANGUAGES_MODEL_INSTANCE_RANKING_H
#define MORVEL_LANGUAGES_MODEL_INSTANCE_RANKING_H

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "languages/model/instance_order.h"

class Comp;
struct s_component;

class InstanceRanking {
 public:
  InstanceRanking() = default;
  InstanceRanking(const InstanceRanking &) = delete;
  InstanceRanking &operator=(const InstanceRanking &) = delete;

  // Places an instance whose component was just instantiated.
  void rank(s_component *instance);
  // The ranked instances, first to generate first.
  std::vector<s_component *> order() const;
  void clear();

 private:
  // What is known of a component. The per-type flags are exact for every
  // known component; the components a known one uses are known too.
  struct Facts {
    bool known = false;
    bool visiting = false;  // on the path of the walk that is making it known
    // Per type: the component, or one it uses at any depth, is of the type or
    // is commanded by it.
    std::vector<char> reaches;
    // Per type: the component depends on the type (isIncludedInComp).
    std::vector<char> depends;
    std::vector<const Comp *> importers;  // known components that use this one
    std::vector<OrderEntry *> entries;    // its places in the order
  };

  std::size_t typeOf(const Comp *comp);
  void know(const Comp *root);
  void settle(const Comp *comp);
  void instantiated(const Comp *comp);
  bool usesItself(const Comp *comp) const;
  void spread(const Comp *comp, std::size_t type);
  void resync();
  void noteEntry(OrderEntry *entry);
  void noteDependent(OrderEntry *entry, std::size_t type);
  bool dependsOn(const Comp *comp, const std::string &type);
  OrderEntry *enter(OrderEntry *place, s_component *instance);
  void moveNamedBefore(OrderEntry *self, bool dependent, std::size_t type);
  void rankByWalk(s_component *instance);

  InstanceOrder sequence;
  std::unordered_map<const Comp *, Facts> facts;
  std::unordered_map<std::string, std::vector<s_component *>> byVarName;
  std::vector<std::string> types;
  std::unordered_map<std::string, std::size_t> typeIndex;
  std::vector<OrderEntry *> firstDependent;  // per type: the first ranked entry that depends on it
  bool cyclic = false;  // the components use each other: dependence is walked each time
};

// Whether the instance's arguments name the other instance: any argument, or
// only the two command connections when `commandsOnly`.
bool namedByArguments(const s_component *instance, const s_component *other, bool commandsOnly);

// The order the instances are generated in: the ranked order, with every
// instance after all the instances its arguments name, so that each
// constructor call finds the instances it is given already built. An
// instance that stands before one it names has that one, and in turn what
// that one names, brought just before it, in their ranked order; an order
// that already keeps the rule is left as it is. When the arguments name each
// other in a circle, `instances` is empty and `circle` holds the instances on
// it, each naming the next and the last naming the first (an instance naming
// itself is a circle of one).
struct GenerationOrder {
  std::vector<s_component *> instances;
  std::vector<s_component *> circle;
};
GenerationOrder orderAfterNamed(const std::vector<s_component *> &ranked);

#endif
