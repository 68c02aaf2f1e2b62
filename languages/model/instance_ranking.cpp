#include "languages/model/instance_ranking.h"

#include <algorithm>
#include <unordered_set>

#include "discrete/comp.h"
#include "discrete/instances.h"

namespace {

bool namesInstance(const std::string &argument, const std::string &varName) {
  return argument == varName || argument.compare(0, argument.find('.'), varName) == 0;
}

} // namespace

bool namedByArguments(const s_component *instance, const s_component *other, bool commandsOnly) {
  size_t count = commandsOnly ? std::min<size_t>(2, instance->args.size()) : instance->args.size();
  for (size_t i = 0; i < count; ++i)
    if (namesInstance(instance->args[i], other->varName))
      return true;
  return false;
}

void InstanceRanking::rank(s_component *instance) {
  const Comp *comp = instance->comp;
  bool again = !facts[comp].entries.empty();
  std::size_t type = typeOf(comp);
  if (!cyclic && !again)
    instantiated(comp);
  if (cyclic || again) {
    if (!cyclic)
      resync();
    rankByWalk(instance);
    if (!cyclic)
      resync();
    return;
  }

  bool dependent = facts[comp].depends[type] != 0;
  OrderEntry *place = dependent ? firstDependent[type] : nullptr;
  OrderEntry *self = enter(place, instance);
  if (place != nullptr)
    moveNamedBefore(self, dependent, type);
}

std::vector<s_component *> InstanceRanking::order() const {
  std::vector<s_component *> instances;
  instances.reserve(sequence.size());
  for (const OrderEntry *entry = sequence.first(); entry != nullptr; entry = entry->next)
    instances.push_back(entry->instance);
  return instances;
}

void InstanceRanking::clear() {
  sequence.clear();
  facts.clear();
  byVarName.clear();
  types.clear();
  typeIndex.clear();
  firstDependent.clear();
  cyclic = false;
}

// The index of the component's type; a type met for the first time gets its
// flags computed for every known component.
std::size_t InstanceRanking::typeOf(const Comp *comp) {
  auto found = typeIndex.find(comp->typeName);
  if (found != typeIndex.end())
    return found->second;
  types.push_back(comp->typeName);
  firstDependent.push_back(nullptr);
  typeIndex.emplace(comp->typeName, types.size() - 1);
  resync();
  return types.size() - 1;
}

// Makes the component and everything it uses known, depth first, the used
// components before their users. Meeting a component still on the path means
// the components use each other.
void InstanceRanking::know(const Comp *root) {
  if (cyclic || facts[root].known)
    return;
  struct Step {
    const Comp *comp;
    std::size_t nextUsed;
  };
  std::vector<Step> path{{root, 0}};
  facts[root].visiting = true;
  while (!path.empty()) {
    Step &step = path.back();
    const std::vector<Comp *> *used = step.comp->importedComps;
    if (used != nullptr && step.nextUsed < used->size()) {
      const Comp *next = (*used)[step.nextUsed++];
      Facts &nextFacts = facts[next];
      if (nextFacts.visiting) {
        cyclic = true;
        return;
      }
      if (!nextFacts.known) {
        nextFacts.visiting = true;
        path.push_back({next, 0});
      }
      continue;
    }
    settle(step.comp);
    path.pop_back();
  }
}

// Computes a component's flags from those of the components it uses.
void InstanceRanking::settle(const Comp *comp) {
  Facts &f = facts[comp];
  const std::vector<Comp *> *used = comp->importedComps;
  f.reaches.assign(types.size(), 0);
  f.depends.assign(types.size(), 0);
  for (std::size_t type = 0; type < types.size(); ++type) {
    bool usedReach = false;
    if (used != nullptr)
      for (const Comp *u : *used)
        usedReach = usedReach || facts[u].reaches[type];
    bool commanded = used != nullptr && isCommandComp(comp, types[type]);
    f.depends[type] = used != nullptr && (commanded || usedReach);
    f.reaches[type] = comp->typeName == types[type] || commanded || usedReach;
  }
  if (used != nullptr)
    for (const Comp *u : *used)
      facts[u].importers.push_back(comp);
  f.known = true;
  f.visiting = false;
}

// A component has just been given what it uses and commands: its flags are
// computed again and what they add is spread to the components that use it.
// Nothing is withdrawn: before, it used nothing, so it reached only its own
// type.
void InstanceRanking::instantiated(const Comp *comp) {
  Facts &f = facts[comp];
  if (!f.known) {
    know(comp);
    return;
  }
  if (!f.importers.empty() && usesItself(comp)) {
    cyclic = true;
    return;
  }
  std::vector<char> before = f.reaches;
  f.known = false;
  know(comp);
  if (cyclic)
    return;
  for (std::size_t type = 0; type < types.size(); ++type)
    if (!before[type] && f.reaches[type])
      spread(comp, type);
}

bool InstanceRanking::usesItself(const Comp *comp) const {
  std::vector<const Comp *> pending{comp};
  std::unordered_set<const Comp *> seen;
  while (!pending.empty()) {
    const Comp *current = pending.back();
    pending.pop_back();
    if (current->importedComps == nullptr)
      continue;
    for (const Comp *used : *current->importedComps) {
      if (used == comp)
        return true;
      if (seen.insert(used).second)
        pending.push_back(used);
    }
  }
  return false;
}

// The component now reaches the type: so does every component that uses it,
// at any depth, and each of them now depends on the type.
void InstanceRanking::spread(const Comp *comp, std::size_t type) {
  std::vector<const Comp *> pending{comp};
  while (!pending.empty()) {
    const Comp *current = pending.back();
    pending.pop_back();
    for (const Comp *user : facts[current].importers) {
      Facts &f = facts[user];
      if (!f.depends[type]) {
        f.depends[type] = 1;
        for (OrderEntry *entry : f.entries)
          noteDependent(entry, type);
      }
      if (!f.reaches[type]) {
        f.reaches[type] = 1;
        pending.push_back(user);
      }
    }
  }
}

// Computes every flag again from nothing, and the first dependent entry of
// each type from the order.
void InstanceRanking::resync() {
  for (auto &entry : facts) {
    Facts &f = entry.second;
    f.known = f.visiting = false;
    f.reaches.clear();
    f.depends.clear();
    f.importers.clear();
  }
  std::fill(firstDependent.begin(), firstDependent.end(), nullptr);
  for (OrderEntry *entry = sequence.first(); entry != nullptr && !cyclic; entry = entry->next) {
    know(entry->instance->comp);
    noteEntry(entry);
  }
}

void InstanceRanking::noteEntry(OrderEntry *entry) {
  if (cyclic)
    return;
  const Facts &f = facts[entry->instance->comp];
  for (std::size_t type = 0; type < types.size(); ++type)
    if (f.depends[type])
      noteDependent(entry, type);
}

void InstanceRanking::noteDependent(OrderEntry *entry, std::size_t type) {
  OrderEntry *&first = firstDependent[type];
  if (first == nullptr || InstanceOrder::precedes(entry, first))
    first = entry;
}

bool InstanceRanking::dependsOn(const Comp *comp, const std::string &type) {
  know(comp);
  if (cyclic)
    return isIncludedInComp(comp, type);
  return facts[comp].depends[typeIndex.at(type)] != 0;
}

OrderEntry *InstanceRanking::enter(OrderEntry *place, s_component *instance) {
  OrderEntry *self = sequence.insertBefore(place, instance);
  facts[instance->comp].entries.push_back(self);
  byVarName[instance->varName].push_back(instance);
  noteEntry(self);
  return self;
}

// Moves the entries named by the arguments of self's instance that stand
// after it to just before it, in their order.
void InstanceRanking::moveNamedBefore(OrderEntry *self, bool dependent, std::size_t type) {
  const s_component *instance = self->instance;
  std::vector<OrderEntry *> moving;
  for (const std::string &argument : instance->args)
    for (const std::string &name : {argument, argument.substr(0, argument.find('.'))}) {
      auto named = byVarName.find(name);
      if (named == byVarName.end())
        continue;
      for (const s_component *other : named->second) {
        bool commandsOnly = dependent && facts[other->comp].depends[type];
        for (OrderEntry *entry : facts[other->comp].entries)
          if (InstanceOrder::precedes(self, entry) &&
              namedByArguments(instance, other, commandsOnly))
            moving.push_back(entry);
      }
    }
  std::sort(moving.begin(), moving.end(), InstanceOrder::precedes);
  moving.erase(std::unique(moving.begin(), moving.end()), moving.end());
  for (OrderEntry *entry : moving) {
    sequence.moveBefore(entry, self);
    noteEntry(entry);
  }
}

// The same rules, walking the ranked entries: for a model whose components
// use each other, or an instance instantiated a second time (whose earlier
// entries stay where they are and are not cross-referenced).
void InstanceRanking::rankByWalk(s_component *instance) {
  const std::string &type = instance->comp->typeName;
  bool dependent = dependsOn(instance->comp, type);
  OrderEntry *place = nullptr;
  if (dependent)
    for (OrderEntry *entry = sequence.first(); entry != nullptr; entry = entry->next)
      if (entry->instance != instance && dependsOn(entry->instance->comp, type)) {
        place = entry;
        break;
      }
  OrderEntry *self = enter(place, instance);
  for (OrderEntry *entry = self->next; entry != nullptr;) {
    OrderEntry *next = entry->next;
    const s_component *other = entry->instance;
    if (namedByArguments(instance, other, dependent && dependsOn(other->comp, type)))
      sequence.moveBefore(entry, self);
    entry = next;
  }
}

namespace {

// Per ranked place, the places of the instances its arguments name, in
// ranked order.
std::vector<std::vector<std::size_t>> namedPlaces(const std::vector<s_component *> &ranked) {
  std::unordered_map<std::string, std::vector<std::size_t>> placesByVarName;
  for (std::size_t place = 0; place < ranked.size(); ++place)
    placesByVarName[ranked[place]->varName].push_back(place);
  std::vector<std::vector<std::size_t>> named(ranked.size());
  for (std::size_t place = 0; place < ranked.size(); ++place) {
    std::vector<std::size_t> &places = named[place];
    for (const std::string &argument : ranked[place]->args)
      for (const std::string &name : {argument, argument.substr(0, argument.find('.'))}) {
        auto found = placesByVarName.find(name);
        if (found != placesByVarName.end())
          places.insert(places.end(), found->second.begin(), found->second.end());
      }
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
  }
  return named;
}

} // namespace

// Depth first from each place in ranked order: an instance is placed once
// everything it names is, and meeting an instance still on the path closes a
// circle.
GenerationOrder orderAfterNamed(const std::vector<s_component *> &ranked) {
  const std::vector<std::vector<std::size_t>> named = namedPlaces(ranked);
  enum class Mark : char { unplaced, onPath, placed };
  std::vector<Mark> marks(ranked.size(), Mark::unplaced);
  struct Step {
    std::size_t place;
    std::size_t nextNamed;
  };
  std::vector<Step> path;
  GenerationOrder result;
  result.instances.reserve(ranked.size());
  for (std::size_t start = 0; start < ranked.size(); ++start) {
    if (marks[start] != Mark::unplaced)
      continue;
    marks[start] = Mark::onPath;
    path.push_back({start, 0});
    while (!path.empty()) {
      Step &step = path.back();
      if (step.nextNamed == named[step.place].size()) {
        marks[step.place] = Mark::placed;
        result.instances.push_back(ranked[step.place]);
        path.pop_back();
        continue;
      }
      std::size_t next = named[step.place][step.nextNamed++];
      if (marks[next] == Mark::onPath) {
        auto closing = std::find_if(path.begin(), path.end(),
                                    [next](const Step &on) { return on.place == next; });
        for (auto on = closing; on != path.end(); ++on)
          result.circle.push_back(ranked[on->place]);
        result.instances.clear();
        return result;
      }
      if (marks[next] == Mark::unplaced) {
        marks[next] = Mark::onPath;
        path.push_back({next, 0});
      }
    }
  }
  return result;
}
