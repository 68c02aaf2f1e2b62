// The prime implicants of the target atoms and their text file: one line per
// atom, "id:" followed by its implicants separated by ",", each implicant the
// ids of its atoms separated by one space.
#ifndef MORVEL_REASONING_PI_TABLE_H
#define MORVEL_REASONING_PI_TABLE_H

#include <string>
#include <unordered_map>
#include <vector>

#include "discrete/comp.h"

class Atom;

// A conjunction of positive atoms, and the implicants of one atom.
using Implicant = std::vector<Atom *>;
using Implicants = std::vector<Implicant *>;

// Atoms to their implicants, walked in the order the atoms were entered.
// The table owns the lists and the implicants in them.
class PiTable {
 public:
  PiTable() = default;
  ~PiTable();
  PiTable(const PiTable &) = delete;
  PiTable &operator=(const PiTable &) = delete;

  // Sets or replaces the atom's entry; a replaced list is released.
  void addPIAtom(Atom *atom, Implicants *implicants);
  // The atom's entry, or null when it has none.
  Implicants *getPIs(const Atom *atom) const;
  std::size_t size() const { return order.size(); }
  void showPI(const Atom *atom) const;
  void showAllPI() const;
  // Writes base + ".pi" in the current directory, one line per entry.
  void writePI(const char *base) const;

 private:
  std::vector<Atom *> order;
  std::unordered_map<const Atom *, Implicants *> entries;
};

// Releases a list of implicants and the implicants in it.
void releaseImplicants(Implicants *implicants);

// Enters the implicants read from the text of a prime implicant file into
// the table, looking every id up in the atoms. Only lines ended by "\n"
// count; a line without implicants adds no entry. Returns 1, or -1 after
// writing "Atom not found: " and the id to standard error when an id is
// unknown (the lines before it stay entered).
int readPIText(const std::string &text, const AtomTable &atoms, PiTable *table);

#endif
