// A sequence of instances that can tell in constant time which of two
// entries comes first. Each entry carries an integer label that grows along
// the sequence; an insertion takes a label between its neighbours and, when
// there is no room left, spreads the labels of the smallest sparse enough
// aligned range around it, which keeps insertions in amortised logarithmic time.
#ifndef MORVEL_LANGUAGES_MODEL_INSTANCE_ORDER_H
#define MORVEL_LANGUAGES_MODEL_INSTANCE_ORDER_H

#include <cstddef>
#include <cstdint>
#include <deque>

struct s_component;

struct OrderEntry {
  s_component *instance = nullptr;
  std::uint64_t label = 0;
  OrderEntry *prev = nullptr;
  OrderEntry *next = nullptr;
};

class InstanceOrder {
 public:
  InstanceOrder() = default;
  InstanceOrder(const InstanceOrder &) = delete;
  InstanceOrder &operator=(const InstanceOrder &) = delete;

  // The first entry, or null when the sequence is empty.
  OrderEntry *first() const { return head.next; }
  std::size_t size() const { return count; }
  // Inserts the instance just before `place`, or at the end when place is null.
  OrderEntry *insertBefore(OrderEntry *place, s_component *instance);
  // Moves an entry just before `place` (another entry of the sequence).
  void moveBefore(OrderEntry *entry, OrderEntry *place);
  void clear();

  static bool precedes(const OrderEntry *a, const OrderEntry *b) { return a->label < b->label; }

 private:
  void linkAfter(OrderEntry *before, OrderEntry *entry);
  void makeRoomAfter(OrderEntry *entry);

  OrderEntry head;  // label 0, never an instance
  OrderEntry *tail = &head;
  std::size_t count = 0;
  std::deque<OrderEntry> store;
};

#endif
