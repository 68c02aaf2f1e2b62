// Reading the application's prime implicant file into a table.
#include <cstdio>
#include <iostream>
#include <string>

#include "common/session.h"
#include "reasoning/itms.h"
#include "reasoning/pi_table.h"

int itms::readPI(PiTable *table) {
  std::string name = appliName + ".pi";
  std::FILE *file = std::fopen(name.c_str(), "r");
  if (!file) {
    std::cout << "can't open " << name << std::endl;
    return 0;
  }
  std::cout << "*** File " << name << " found. Reading file...\n";
  std::string text;
  char piece[1024];
  for (std::size_t got; (got = std::fread(piece, 1, sizeof piece, file)) > 0;)
    text.append(piece, got);
  std::fclose(file);
  return readPIText(text, *active_atoms, table);
}
