// Helpers shared by the discrete model tests: an owner for the variables and
// atoms a test builds, as a component type owns them.
#ifndef MORVEL_TESTS_DISCRETE_SUPPORT_H
#define MORVEL_TESTS_DISCRETE_SUPPORT_H

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "discrete/state_var.h"
#include "tests/test_support.h"

class Owner {
 public:
  Owner() = default;
  Owner(const Owner &) = delete;
  Owner &operator=(const Owner &) = delete;
  ~Owner() {
    for (auto release = releases.rbegin(); release != releases.rend(); ++release)
      (*release)();
  }

  // A variable of kind Var with its atoms made in written order.
  template <typename Var, typename... Arguments> Var *variable(Arguments &&...arguments) {
    Var *made = new Var(std::forward<Arguments>(arguments)...);
    made->createAtoms();
    releases.push_back([made] {
      for (Atom *atom : made->atomLinks)
        delete atom;
      delete made;
    });
    return made;
  }

  template <typename Object> Object *keep(Object *object) {
    releases.push_back([object] { delete object; });
    return object;
  }

 private:
  std::vector<std::function<void()>> releases;
};

inline Atom *atomOf(StateVar *variable, const std::string &value) {
  for (Atom *atom : variable->atomLinks)
    if (atom->value == value)
      return atom;
  return nullptr;
}

#endif
