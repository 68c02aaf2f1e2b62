#include "common/options.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>

#include "common/session.h"

int mrv_evlps_opti = 0;
int mrv_code_opti = 0;
int mrv_code_debug = 0;
int twc = 0;
int twd = 0;
int pi = 0;

namespace {

// A chained hash table of option names whose iteration order is part of the
// program's visible behaviour (the `options` listing): the bucket of a name is
// its hash h = 5h + byte modulo the bucket count, new names go to the front of
// their chain, and the table grows to the next prime when it would hold more
// entries than buckets, moving the entries bucket by bucket, each to the front
// of its new chain.
class OptionTable {
public:
  OptionTable() : buckets(193, nullptr) {}
  ~OptionTable() { clear(); }
  OptionTable(const OptionTable &) = delete;
  OptionTable &operator=(const OptionTable &) = delete;

  int *find(const char *name) {
    for (Node *node = buckets[bucketOf(name, buckets.size())]; node; node = node->next)
      if (node->name == name)
        return &node->value;
    return nullptr;
  }

  int &findOrInsert(const char *name) {
    if (int *value = find(name))
      return *value;
    growFor(count + 1);
    size_t bucket = bucketOf(name, buckets.size());
    buckets[bucket] = new Node{name, 0, buckets[bucket]};
    ++count;
    return buckets[bucket]->value;
  }

  std::vector<std::pair<std::string, int>> entries() const {
    std::vector<std::pair<std::string, int>> all;
    for (const Node *chain : buckets)
      for (const Node *node = chain; node; node = node->next)
        all.emplace_back(node->name, node->value);
    return all;
  }

  void clear() {
    for (Node *&chain : buckets)
      while (chain) {
        Node *next = chain->next;
        delete chain;
        chain = next;
      }
    count = 0;
  }

private:
  struct Node {
    std::string name;
    int value;
    Node *next;
  };

  static size_t bucketOf(const char *name, size_t bucketCount) {
    uint32_t h = 0;
    for (const unsigned char *byte = reinterpret_cast<const unsigned char *>(name); *byte; ++byte)
      h = 5 * h + *byte;
    return h % bucketCount;
  }

  void growFor(size_t wanted) {
    if (wanted <= buckets.size())
      return;
    static const size_t primes[] = {389, 769, 1543, 3079, 6151, 12289, 24593, 49157, 98317};
    size_t newSize = buckets.size();
    for (size_t prime : primes)
      if (prime >= wanted) {
        newSize = prime;
        break;
      }
    if (newSize == buckets.size())
      return;
    std::vector<Node *> grown(newSize, nullptr);
    for (Node *&chain : buckets)
      while (chain) {
        Node *node = chain;
        chain = node->next;
        size_t target = bucketOf(node->name.c_str(), newSize);
        node->next = grown[target];
        grown[target] = node;
      }
    buckets.swap(grown);
  }

  std::vector<Node *> buckets;
  size_t count = 0;
};

OptionTable config_pairs;

struct Mirror {
  const char *name;
  int *variable;
};

const Mirror mirrors[] = {
    {"evlps_opti", &mrv_evlps_opti}, {"code_opti", &mrv_code_opti},
    {"code_debug", &mrv_code_debug}, {"continuous_window", &twc},
    {"discrete_window", &twd},       {"prime_implicants", &pi},
};

void cacheAllEntries() {
  for (const Mirror &mirror : mirrors)
    conf_cache_entry(mirror.name);
}

} // namespace

void config_init() {
  config_pairs.clear();
  const std::pair<const char *, int> defaults[] = {
      {"hybrid", 1},         {"discrete", 0},         {"continuous", 0},
      {"log", 0},            {"evlps_opti", 0},       {"code_opti", 0},
      {"code_debug", 0},     {"diag_exo", 0},         {"continuous_window", 10},
      {"discrete_window", 5}, {"prime_implicants", 0},
  };
  for (const auto &[name, value] : defaults)
    config_pairs.findOrInsert(name) = value;
  cacheAllEntries();
}

void conf_read(FILE *file) {
  char line[1024];
  while (std::fgets(line, sizeof line, file) != nullptr) {
    if (line[0] == '#' || line[0] == '\n')
      continue;
    const char *separators = " =\n";
    char *name = std::strtok(line, separators);
    char *value = std::strtok(nullptr, separators);
    // A name without a value has no meaning: the line is skipped.
    if (name == nullptr || value == nullptr)
      continue;
    config_pairs.findOrInsert(name) = std::atoi(value);
  }
  cacheAllEntries();
}

void conf_set(const char *name, int value) {
  int *stored = config_pairs.find(name);
  if (stored == nullptr) {
    std::fprintf(stderr, "option %s doesn't exist\n", name);
    return;
  }
  *stored = value;
  conf_cache_entry(name);
}

int conf_get(const char *name) {
  int *stored = config_pairs.find(name);
  if (stored == nullptr) {
    std::fprintf(stderr, "option %s doesn't exist\n", name);
    return -1;
  }
  return *stored;
}

void conf_cache_entry(const char *name) {
  for (const Mirror &mirror : mirrors)
    if (std::strcmp(mirror.name, name) == 0) {
      if (int *stored = config_pairs.find(name))
        *mirror.variable = *stored;
      return;
    }
}

std::vector<std::pair<std::string, int>> conf_entries() { return config_pairs.entries(); }
