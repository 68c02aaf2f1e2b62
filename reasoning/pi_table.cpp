#include "reasoning/pi_table.h"

PiTable::PiTable() : table(new std::unordered_map<Atom *, Implicants *>()) {}

PiTable::~PiTable() {
  for (const auto &entry : *table)
    release(entry.second);
  delete table;
}

void PiTable::release(Implicants *implicants) {
  if (implicants == nullptr)
    return;
  for (std::vector<Atom *> *implicant : *implicants)
    delete implicant;
  delete implicants;
}

void PiTable::addPIAtom(Atom *atom, Implicants *implicants) {
  Implicants *&entry = (*table)[atom];
  if (entry != implicants)
    release(entry);
  entry = implicants;
}

Implicants *PiTable::getPIs(Atom *atom) const {
  auto found = table->find(atom);
  return found != table->end() ? found->second : nullptr;
}
