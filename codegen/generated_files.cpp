#include "codegen/generated_files.h"

#include <cstdio>
#include <fstream>
#include <sstream>

std::string pendingPath(const std::string &path) {
  return path + ".new";
}

std::string wholeFileText(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void settleGeneratedFile(const std::string &path) {
  const std::string pending = pendingPath(path);
  std::ifstream earlier(path, std::ios::binary);
  if (earlier && wholeFileText(path) == wholeFileText(pending))
    std::remove(pending.c_str());
  else
    std::rename(pending.c_str(), path.c_str());
}
