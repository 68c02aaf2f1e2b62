// Prime implicant search on generated applications of 10, 25 and 50
// components: the engine as built (propagation backed by one incremental
// solver) against a baseline that answers every consistency test with a
// fresh solver and no propagation, and the reread of the ".pi" file the
// search wrote. The search's own output goes to /dev/null. An argument
// replaces the three sizes by one.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/session.h"
#include "discrete/data_manager.h"
#include "reasoning/itms.h"
#include "reasoning/pi_table.h"
#include "reasoning/prime_implicants.h"
#include "tests/reasoning/generated_model.h"

namespace {

using Table = std::map<std::string, std::set<std::set<std::string>>>;

// CPU seconds spent by the action (other work on the machine does not
// count), with standard output silenced.
double timed(const std::function<void()> &action) {
  std::fflush(stdout);
  std::cout.flush();
  int saved = dup(1);
  int null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  std::clock_t start = std::clock();
  action();
  std::cout.flush();
  std::fflush(stdout);
  double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  dup2(saved, 1);
  close(null);
  close(saved);
  return seconds;
}

Table contents(const PiTable *table) {
  Table copied;
  for (const auto &entry : *DataManager::active_atoms) {
    const Implicants *implicants = table->getPIs(entry.second);
    if (!implicants)
      continue;
    auto &sets = copied[entry.first];
    for (const Implicant *implicant : *implicants) {
      std::set<std::string> ids;
      for (const Atom *atom : *implicant)
        ids.insert(atom->id);
      sets.insert(ids);
    }
  }
  return copied;
}

}  // namespace

int main(int argc, char **argv) {
  std::vector<int> sizes{10, 25, 50};
  if (argc > 1)
    sizes.assign(1, std::atoi(argv[1]));
  char pattern[] = "/tmp/pi_search_benchXXXXXX";
  std::string directory = mkdtemp(pattern);
  if (chdir(directory.c_str()) != 0)
    return 1;
  appliName = "bench";
  DataManager::openBenchmarkFiles();
  std::printf("%6s %10s %12s %12s %8s %12s %10s %9s %s\n", "comps", "tests", "engine s",
              "baseline s", "ratio", "reread s", "search/rd", "implicants", "same");
  for (int components : sizes) {
    GeneratedModel model(components, 2024, true);
    itms engine;
    unsigned int before = DataManager::itms_calls;
    std::remove("bench.pi");
    double search = timed([&] { enumAllPI(&engine, 1, model.instancesByRank); });
    unsigned int tests = DataManager::itms_calls - before;
    Table found = contents(engine.piTable);
    double reread = timed([&] { enumAllPI(&engine, 1, model.instancesByRank); });
    bool rereadSame = contents(engine.piTable) == found;

    itms baseline;
    baseline.checkFromScratch = true;
    std::remove("bench.pi");
    double fresh = timed([&] { enumAllPI(&baseline, 1, model.instancesByRank); });
    bool same = rereadSame && contents(baseline.piTable) == found;
    std::size_t implicants = 0;
    for (const auto &entry : found)
      implicants += entry.second.size();
    std::printf("%6d %10u %12.3f %12.3f %8.1f %12.5f %10.0f %9zu %s\n", components, tests, search,
                fresh, fresh / search, reread, search / reread, implicants, same ? "yes" : "NO");
    std::remove("bench.pi");
  }
  std::remove("bench1.bmk");
  std::remove("itmsbench.bmk");
  if (chdir("/") == 0)
    rmdir(directory.c_str());
  return 0;
}
