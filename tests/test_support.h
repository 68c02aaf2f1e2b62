// Helpers every test folder uses: the output written while an action runs,
// a text quoted as a regular expression, the text of a file, a stream in
// memory, and a scratch directory that is the current one while it lives.
#ifndef MORVEL_TESTS_TEST_SUPPORT_H
#define MORVEL_TESTS_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include <unistd.h>

// Standard output written while running action, through stdio or streams.
template <typename Action> std::string printed(Action action) {
  testing::internal::CaptureStdout();
  action();
  std::fflush(stdout);
  std::cout.flush();
  return testing::internal::GetCapturedStdout();
}

template <typename Action> std::string printedOnStderr(Action action) {
  testing::internal::CaptureStderr();
  action();
  return testing::internal::GetCapturedStderr();
}

// The text as an extended regular expression matching exactly it, for the
// patterns of death tests.
inline std::string regexLiteral(const std::string &text) {
  std::string quoted;
  for (char c : text) {
    if (std::string(".[]{}()*+?|^$\\").find(c) != std::string::npos)
      quoted += '\\';
    quoted += c;
  }
  return quoted;
}

inline std::string fileText(const std::string &path) {
  std::ifstream file(path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A stream written in memory, and what was written to it.
class MemoryFile {
 public:
  MemoryFile() : file(open_memstream(&buffer, &size)) {}
  ~MemoryFile() {
    std::fclose(file);
    std::free(buffer);
  }
  MemoryFile(const MemoryFile &) = delete;
  MemoryFile &operator=(const MemoryFile &) = delete;
  std::string text() {
    std::fflush(file);
    return std::string(buffer, size);
  }
  FILE *file;

 private:
  char *buffer = nullptr;
  size_t size = 0;
};

// A fresh directory, current until the object goes; then the previous
// directory is current again and this one is removed with its content.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    char pattern[] = "/tmp/morvel-test-XXXXXX";
    path = mkdtemp(pattern);
    previous = getcwd(nullptr, 0);
    EXPECT_EQ(chdir(path.c_str()), 0);
  }
  ~ScratchDirectory() {
    EXPECT_EQ(chdir(previous), 0);
    std::free(previous);
    std::system(("rm -rf " + path).c_str());
  }
  ScratchDirectory(const ScratchDirectory &) = delete;
  ScratchDirectory &operator=(const ScratchDirectory &) = delete;

  std::string path;

 private:
  char *previous;
};

#endif
