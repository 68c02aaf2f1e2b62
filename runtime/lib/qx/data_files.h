// The input and measure files of a run: rows of a time followed by one
// value per column, with an optional header row naming the columns.
#ifndef MORVEL_RUNTIME_DATA_FILES_H
#define MORVEL_RUNTIME_DATA_FILES_H

#include <string>
#include <vector>

#include "sarn-runt.h"

struct DataRow {
  long line;                   // line number in the file, for messages
  double time;
  std::vector<double> values;  // one per variable of the table, in its order
  std::vector<bool> given;     // false where the file gives "-" or omits the column
  std::vector<int> symbols;    // one per symbolic column: its value's rank, -1 when not given
};

// Columns of symbolic values a file may hold besides the continuous ones:
// commands (held, never "-") or observations ("-" for "not observed").
struct SymbolColumn {
  std::string name;
  std::vector<std::string> values;
  bool held;
};

struct DataFile {
  std::string path;
  std::vector<DataRow> rows;   // in increasing time
  std::vector<char> named;     // per symbolic column: named in the header
};

// The words of a line of a data file, its comment ("#" to the end) left out.
std::vector<std::string> rowWords(std::string line);

// Reads the rows of a file for the variables of a table (the application's
// inputs or measures). Without a header, each row holds a value for every
// variable in table order. A header row "time name ..." may name a subset of
// them in any order when partial is true, all of them otherwise; "-" marks a
// value not given when partial is true. On failure, error holds a message
// naming the file and the line.
// The symbolic columns are named in the header; a held one, once named,
// has a value on every row.
bool readDataFile(const char *kind, const char *path, variable *table, long count, bool partial,
                  const std::vector<SymbolColumn> &symbols, DataFile &file, std::string &error);

// The row in force at time: the last one whose time is not after it.
const DataRow *rowAt(const DataFile &file, double time);

// The row whose time is time itself, or NULL.
const DataRow *rowOf(const DataFile &file, double time);

#endif
