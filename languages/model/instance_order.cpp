#include "languages/model/instance_order.h"

#include <cmath>

namespace {

constexpr int labelBits = 62;
constexpr std::uint64_t labelSpace = std::uint64_t(1) << labelBits;
// Labels left between two entries appended one after the other, so that
// appending, the common case, almost never needs a relabelling.
constexpr std::uint64_t appendStep = std::uint64_t(1) << 32;

} // namespace

OrderEntry *InstanceOrder::insertBefore(OrderEntry *place, s_component *instance) {
  OrderEntry *entry = &store.emplace_back();
  entry->instance = instance;
  linkAfter(place != nullptr ? place->prev : tail, entry);
  ++count;
  return entry;
}

void InstanceOrder::moveBefore(OrderEntry *entry, OrderEntry *place) {
  if (entry == place || entry->next == place)
    return;
  entry->prev->next = entry->next;
  if (entry->next != nullptr)
    entry->next->prev = entry->prev;
  else
    tail = entry->prev;
  linkAfter(place->prev, entry);
}

void InstanceOrder::clear() {
  head.next = nullptr;
  tail = &head;
  count = 0;
  store.clear();
}

void InstanceOrder::linkAfter(OrderEntry *before, OrderEntry *entry) {
  auto room = [&] {
    return (before->next != nullptr ? before->next->label : labelSpace) - before->label;
  };
  if (room() < 2)
    makeRoomAfter(before);
  std::uint64_t gap = room();
  entry->label = before->label + (before->next == nullptr && gap > 2 * appendStep ? appendStep
                                                                                    : gap / 2);
  entry->prev = before;
  entry->next = before->next;
  if (before->next != nullptr)
    before->next->prev = entry;
  else
    tail = entry;
  before->next = entry;
}

// Widens an aligned range of 2^bits labels around the entry until it holds
// at most (4/3)^bits entries, then spreads them evenly over it: each entry
// then has at least two free labels after it.
void InstanceOrder::makeRoomAfter(OrderEntry *entry) {
  OrderEntry *low = entry, *high = entry;
  std::uint64_t inRange = 1;
  for (int bits = 1; bits <= labelBits; ++bits) {
    std::uint64_t size = std::uint64_t(1) << bits;
    std::uint64_t base = entry->label & ~(size - 1);
    while (low->prev != nullptr && low->prev->label >= base) {
      low = low->prev;
      ++inRange;
    }
    while (high->next != nullptr && high->next->label - base < size) {
      high = high->next;
      ++inRange;
    }
    bool sparse = static_cast<double>(inRange) <= std::pow(4.0 / 3.0, bits);
    if ((sparse && size / inRange >= 2) || bits == labelBits) {
      std::uint64_t step = size / inRange, label = base;
      for (OrderEntry *e = low;; e = e->next, label += step) {
        e->label = label;
        if (e == high)
          break;
      }
      return;
    }
  }
}
