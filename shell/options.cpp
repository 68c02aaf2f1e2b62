#include "shell/options.h"

#include <cstdio>
#include <pwd.h>
#include <string>
#include <unistd.h>

#include "common/session.h"

int load_conf_file() {
  config_init();
  const struct passwd *user = getpwuid(getuid());
  if (user == nullptr)
    return 0;
  FILE *file = std::fopen((std::string(user->pw_dir) + "/.mrvconf").c_str(), "r");
  if (file == nullptr)
    file = std::fopen((sarnDir + "/.mrvconf").c_str(), "r");
  if (file == nullptr)
    return 0;
  conf_read(file);
  std::fclose(file);
  return 1;
}

void print_conf() {
  for (const auto &[name, value] : conf_entries())
    std::printf("%s -- %i\n", name.c_str(), value);
}
