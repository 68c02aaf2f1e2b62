#include "reasoning/pi_table.h"

#include <fstream>
#include <iostream>
#include <utility>

#include "discrete/state_var.h"

void releaseImplicants(Implicants *implicants) {
  if (!implicants)
    return;
  for (Implicant *implicant : *implicants)
    delete implicant;
  delete implicants;
}

PiTable::~PiTable() {
  for (auto &entry : entries)
    releaseImplicants(entry.second);
}

void PiTable::addPIAtom(Atom *atom, Implicants *implicants) {
  auto placed = entries.emplace(atom, implicants);
  if (placed.second) {
    order.push_back(atom);
  } else if (placed.first->second != implicants) {
    releaseImplicants(placed.first->second);
    placed.first->second = implicants;
  }
}

Implicants *PiTable::getPIs(const Atom *atom) const {
  auto found = entries.find(atom);
  return found != entries.end() ? found->second : nullptr;
}

void PiTable::showPI(const Atom *atom) const {
  std::cout << "\nPI(" << atom->getId() << ") => ";
  const Implicants *implicants = getPIs(atom);
  if (!implicants)
    return;
  const char *separator = "";
  for (const Implicant *implicant : *implicants) {
    std::cout << separator;
    for (const Atom *member : *implicant)
      std::cout << member->getId() << " - ";
    separator = "\n\t\t=>";
  }
}

void PiTable::showAllPI() const {
  for (const Atom *atom : order)
    showPI(atom);
}

void PiTable::writePI(const char *base) const {
  std::string name = std::string(base) + ".pi";
  std::cout << "writing file " << name << std::endl;
  std::ofstream file(name, std::ios::trunc);
  for (const Atom *atom : order) {
    file << atom->getId() << ":";
    const char *separator = "";
    for (const Implicant *implicant : *entries.at(atom)) {
      file << separator;
      for (std::size_t i = 0; i < implicant->size(); ++i)
        file << (i ? " " : "") << (*implicant)[i]->getId();
      separator = ",";
    }
    file << "\n";
  }
}

namespace {

std::vector<std::string> split(const std::string &text, char separator) {
  std::vector<std::string> pieces;
  std::string::size_type start = 0;
  for (std::string::size_type end; (end = text.find(separator, start)) != std::string::npos;
       start = end + 1)
    pieces.push_back(text.substr(start, end - start));
  pieces.push_back(text.substr(start));
  return pieces;
}

Atom *lookUp(const std::string &id, const AtomTable &atoms) {
  auto found = atoms.find(id);
  if (found != atoms.end())
    return found->second;
  std::cerr << "Atom not found: " << id << std::endl;
  return nullptr;
}

}  // namespace

int readPIText(const std::string &text, const AtomTable &atoms, PiTable *table) {
  std::string::size_type start = 0;
  for (std::string::size_type end; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    std::string line = text.substr(start, end - start);
    std::string::size_type colon = line.find(':');
    Atom *key = lookUp(line.substr(0, colon), atoms);
    if (!key)
      return -1;
    std::vector<std::string> pieces =
        split(colon == std::string::npos ? "" : line.substr(colon + 1), ',');
    if (pieces.front().empty())
      continue;
    auto *implicants = new Implicants();
    for (const std::string &piece : pieces) {
      Implicant implicant;
      for (const std::string &id : split(piece, ' ')) {
        if (id.empty())
          continue;
        Atom *member = lookUp(id, atoms);
        if (!member) {
          releaseImplicants(implicants);
          return -1;
        }
        implicant.push_back(member);
      }
      if (!implicant.empty())
        implicants->push_back(new Implicant(std::move(implicant)));
    }
    table->addPIAtom(key, implicants);
  }
  return 1;
}
