#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <random>
#include <vector>

#include "discrete/instances.h"
#include "languages/model/instance_order.h"

namespace {

// Checks the sequence against the expected one: same entries in the same
// order, with labels that grow along it.
void expectSameOrder(const InstanceOrder &order, const std::list<OrderEntry *> &expected) {
  ASSERT_EQ(order.size(), expected.size());
  const OrderEntry *entry = order.first();
  const OrderEntry *previous = nullptr;
  for (const OrderEntry *wanted : expected) {
    ASSERT_EQ(entry, wanted);
    if (previous != nullptr) {
      ASSERT_TRUE(InstanceOrder::precedes(previous, entry));
    }
    previous = entry;
    entry = entry->next;
  }
  EXPECT_EQ(entry, nullptr);
}

TEST(InstanceOrder, InsertionsAndMovesKeepLabelsInOrder) {
  s_component instance;
  struct Pattern {
    const char *name;
    int frontShare, beforeLastShare;  // out of 10: insert at the front, just before the last inserted
  } patterns[] = {
      {"appends", 0, 0},
      {"always at the front", 10, 0},
      {"always just before the last inserted", 0, 10},  // halves the same gap every time
      {"mixed", 3, 4},
  };
  for (const Pattern &pattern : patterns) {
    SCOPED_TRACE(pattern.name);
    std::mt19937 random(7);
    InstanceOrder order;
    std::list<OrderEntry *> expected;
    std::vector<OrderEntry *> entries;
    OrderEntry *lastInserted = nullptr;
    for (int step = 0; step < 3000; ++step) {
      int roll = static_cast<int>(random() % 10);
      OrderEntry *place = nullptr;  // at the end
      if (roll < pattern.frontShare)
        place = order.first();
      else if (roll < pattern.frontShare + pattern.beforeLastShare)
        place = lastInserted;
      else if (!entries.empty() && step % 7 == 0)
        place = entries[random() % entries.size()];
      OrderEntry *entry = order.insertBefore(place, &instance);
      expected.insert(place == nullptr ? expected.end()
                                       : std::find(expected.begin(), expected.end(), place),
                      entry);
      entries.push_back(entry);
      lastInserted = entry;

      if (step % 5 == 0 && entries.size() > 2) {  // a move to before another entry
        OrderEntry *moved = entries[random() % entries.size()];
        OrderEntry *target = entries[random() % entries.size()];
        order.moveBefore(moved, target);
        if (moved != target) {
          expected.remove(moved);
          expected.insert(std::find(expected.begin(), expected.end(), target), moved);
        }
      }
      if (step % 500 == 0)
        expectSameOrder(order, expected);
    }
    expectSameOrder(order, expected);
    order.clear();
    EXPECT_EQ(order.first(), nullptr);
    EXPECT_EQ(order.size(), 0u);
  }
}

} // namespace
