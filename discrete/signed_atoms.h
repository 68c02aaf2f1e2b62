// The container of signed literals shared by state formulas and clauses: pairs
// (sign, atom) kept in a red-black tree whose ordering predicate is eqbool.
#ifndef MORVEL_DISCRETE_SIGNED_ATOMS_H
#define MORVEL_DISCRETE_SIGNED_ATOMS_H

#include <cstddef>
#include <iterator>
#include <utility>

class Atom;

// Answers true when the two signs are equal. Used as the "less than" of the
// literal tree, it sends a new literal to the left of every literal of its
// own sign and to the right of every literal of the other sign.
struct eqbool {
  bool operator()(bool first, bool second) const { return first == second; }
};

// An ordered multimap from sign to atom under eqbool. eqbool is not a strict
// weak ordering, so the order of the literals is defined by the insertions
// themselves: a new literal descends the tree as described above, and the
// tree is then rebalanced with the usual red-black rotations, which keep the
// in-order sequence. With one sign only this yields the literals in reverse
// order of insertion. With mixed signs the order depends on the tree's shape;
// it is reproduced exactly, so printed literals and generated code follow the
// same order as an ordered multimap with this predicate would give.
// A copy keeps the shape of the original, hence its order and the place later
// insertions take.
class SignedAtoms {
  struct Node;

 public:
  using value_type = std::pair<const bool, Atom *>;

  // Walks the literals in order; the literals cannot be changed through it.
  class iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = SignedAtoms::value_type;
    using difference_type = std::ptrdiff_t;
    using pointer = const value_type *;
    using reference = const value_type &;

    iterator() = default;
    reference operator*() const;
    pointer operator->() const;
    iterator &operator++();
    iterator operator++(int);
    bool operator==(const iterator &other) const { return node == other.node; }
    bool operator!=(const iterator &other) const { return node != other.node; }

   private:
    friend class SignedAtoms;
    explicit iterator(const Node *at) : node(at) {}
    const Node *node = nullptr;
  };
  using const_iterator = iterator;

  SignedAtoms() = default;
  SignedAtoms(const SignedAtoms &other);
  SignedAtoms &operator=(const SignedAtoms &other);
  ~SignedAtoms();

  iterator insert(const value_type &literal);
  iterator insert(bool sign, Atom *atom) { return insert(value_type(sign, atom)); }

  iterator begin() const;
  iterator end() const { return iterator(); }
  std::size_t size() const { return count; }
  bool empty() const { return count == 0; }
  void clear();

 private:
  void rotateLeft(Node *node);
  void rotateRight(Node *node);
  void rebalanceAfterInsert(Node *node);

  Node *root = nullptr;
  std::size_t count = 0;
};

#endif
