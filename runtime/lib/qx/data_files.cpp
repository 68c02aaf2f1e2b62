#include "data_files.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// Times closer than this are the same instant.
const double kSameTime = 1e-9;

bool parseNumber(const std::string &word, double &value) {
  char *end = NULL;
  value = std::strtod(word.c_str(), &end);
  return !word.empty() && *end == '\0' && std::isfinite(value);
}

std::string at(const DataFile &file, long line) {
  return file.path + ":" + std::to_string(line) + ": ";
}

} // namespace

std::vector<std::string> rowWords(std::string line) {
  size_t comment = line.find('#');
  if (comment != std::string::npos)
    line.erase(comment);
  std::istringstream split(line);
  std::vector<std::string> words;
  for (std::string word; split >> word;)
    words.push_back(word);
  return words;
}

bool readDataFile(const char *kind, const char *path, variable *table, long count, bool partial,
                  const std::vector<SymbolColumn> &symbols, DataFile &file, std::string &error) {
  file.path = path;
  std::ifstream in(path);
  if (!in) {
    error = std::string(kind) + " file \"" + path + "\" cannot be opened.";
    return false;
  }
  // column c of the file holds variable columns[c] of the table, or the
  // symbolic column -1 - columns[c]
  std::vector<long> columns;
  for (long i = 0; i < count; ++i)
    columns.push_back(i);
  file.named.assign(symbols.size(), 0);

  std::string text;
  bool first = true;
  for (long line = 1; std::getline(in, text); ++line) {
    std::vector<std::string> words = rowWords(text);
    if (words.empty())
      continue;

    double time;
    if (first && !parseNumber(words[0], time)) {
      columns.clear();
      long continuous = 0;
      for (size_t w = 1; w < words.size(); ++w) {
        long found = count;
        for (long i = 0; i < count; ++i)
          if (words[w] == table[i]->nom)
            found = i;
        for (size_t k = 0; found == count && k < symbols.size(); ++k)
          if (words[w] == symbols[k].name)
            found = -1 - static_cast<long>(k);
        if (found == count) {
          error = at(file, line) + "\"" + words[w] + "\" is not one of the " + kind + " variables.";
          return false;
        }
        if (found < 0)
          file.named[-1 - found] = 1;
        else
          ++continuous;
        columns.push_back(found);
      }
      if (!partial && continuous != count) {
        error = at(file, line) + "the header must name all " + std::to_string(count) + " " + kind +
                " variables.";
        return false;
      }
      first = false;
      continue;
    }
    first = false;

    if (words.size() != columns.size() + 1) {
      error = at(file, line) + "a time and " + std::to_string(columns.size()) +
              " values expected, " + std::to_string(words.size()) + " words found.";
      return false;
    }
    DataRow row{line, 0.0, std::vector<double>(count, 0.0), std::vector<bool>(count, false),
                std::vector<int>(symbols.size(), -1)};
    if (!parseNumber(words[0], row.time)) {
      error = at(file, line) + "the time \"" + words[0] + "\" is not a number.";
      return false;
    }
    if (!file.rows.empty() && row.time <= file.rows.back().time + kSameTime) {
      error = at(file, line) + "times must increase from row to row.";
      return false;
    }
    for (size_t c = 0; c < columns.size(); ++c) {
      const std::string &word = words[c + 1];
      if (columns[c] < 0) {
        const SymbolColumn &symbol = symbols[-1 - columns[c]];
        if (word == "-" && !symbol.held)
          continue;
        auto value = std::find(symbol.values.begin(), symbol.values.end(), word);
        if (value == symbol.values.end()) {
          error = at(file, line) + "\"" + word + "\" is not a value of " + symbol.name + ".";
          return false;
        }
        row.symbols[-1 - columns[c]] = static_cast<int>(value - symbol.values.begin());
        continue;
      }
      if (partial && word == "-")
        continue;
      if (!parseNumber(word, row.values[columns[c]])) {
        error = at(file, line) + "the value \"" + word + "\" of " + table[columns[c]]->nom +
                " is not a number.";
        return false;
      }
      row.given[columns[c]] = true;
    }
    file.rows.push_back(row);
  }
  if (file.rows.empty()) {
    error = std::string(kind) + " file \"" + path + "\" holds no rows.";
    return false;
  }
  return true;
}

const DataRow *rowAt(const DataFile &file, double time) {
  auto after = std::upper_bound(file.rows.begin(), file.rows.end(), time + kSameTime,
                                [](double t, const DataRow &row) { return t < row.time; });
  return after == file.rows.begin() ? NULL : &*(after - 1);
}

const DataRow *rowOf(const DataFile &file, double time) {
  const DataRow *row = rowAt(file, time);
  return row != NULL && std::fabs(row->time - time) <= kSameTime ? row : NULL;
}
