// Prime implicants by target atom: each implicant is a conjunction of
// positive atoms, kept as a vector of atoms.
#ifndef MORVEL_REASONING_PI_TABLE_H
#define MORVEL_REASONING_PI_TABLE_H

#include <unordered_map>
#include <vector>

class Atom;

using Implicants = std::vector<std::vector<Atom *> *>;

// Owns its entries: the implicant lists and the implicants in them.
class PiTable {
 public:
  PiTable();
  ~PiTable();
  PiTable(const PiTable &) = delete;
  PiTable &operator=(const PiTable &) = delete;

  // Sets or replaces the entry of the atom; the table takes the list.
  void addPIAtom(Atom *atom, Implicants *implicants);
  // The atom's entry, or null when it has none.
  Implicants *getPIs(Atom *atom) const;

  std::unordered_map<Atom *, Implicants *> *table;

 private:
  static void release(Implicants *implicants);
};

#endif
