// Helpers shared by the code generator tests: the generation files kept in
// memory, a fresh generation state, and small hand-built components.
#ifndef MORVEL_TESTS_CODEGEN_SUPPORT_H
#define MORVEL_TESTS_CODEGEN_SUPPORT_H

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "codegen/continuous_elements.h"
#include "codegen/generation_state.h"
#include "common/session.h"
#include "continuous/lists.h"
#include "continuous/state.h"
#include "continuous/values.h"
#include "discrete/comp.h"
#include "discrete/data_manager.h"
#include "discrete/instances.h"
#include "languages/model/loaded_model.h"
#include "shell/options.h"
#include "tests/test_support.h"

inline bool contains(const std::string &text, const std::string &part) {
  return text.find(part) != std::string::npos;
}

// Every test starts from a fresh generation state with the class and runtime
// files in memory, default options, a time step of 1 and the current directory
// as the application's.
class GenerationTest : public testing::Test {
 protected:
  void SetUp() override {
    objInit();
    config_init();
    gen.model = &loadedModel;
    gen.resetForCompile();
    resetContinuousSession();
    appliPath = "";
    DataManager::active_comps.clear();
    comps.clear();
    variables_disc.clear();
    gen.classBodyFile = body.file;
    gen.classHeaderFile = header.file;
    gen.runtimeSourceFile = runtime.file;
    gen.runtimeHeaderFile = runtimeHeader.file;
  }
  void TearDown() override {
    forgetGeneratedElements();
    DataManager::active_comps.clear();
    comps.clear();
  }

  // A registered component instance of the type, with every owned container.
  Comp *component(const std::string &varName, const std::string &type) {
    auto made = std::make_unique<Comp>(varName + "1");
    made->varName = varName;
    made->typeName = type;
    Comp *comp = made.get();
    owned.push_back(std::move(made));
    DataManager::addComp(comp);
    comps.append(std::make_unique<s_component>(s_component{type, varName, comp->name, comp, {}}));
    return comp;
  }
  // `user` uses `used` under the local name.
  static void uses(Comp *user, Comp *used, const std::string &localName) {
    if (user->importedComps == nullptr)
      user->importedComps = new std::vector<Comp *>();
    user->importedComps->push_back(used);
    if (user->correspondences == nullptr)
      user->correspondences = new std::vector<std::pair<std::string, std::string>>();
    user->correspondences->emplace_back(localName, used->varName);
  }
  static s_variable *contVariable(const std::string &name, int param = 0, s_objet *value = nullptr) {
    s_variable *var = record(s_variable{name, ""});
    var->param = param;
    if (value != nullptr)
      var->dom = record(s_domain{value});
    return var;
  }
  // A record of the continuous model kept as long as the model, holding value.
  template <typename T> static T *record(T value) {
    T *made = newRecord<T>();
    *made = value;
    return made;
  }
  // A list of the continuous model (cells of type List) holding the elements.
  template <typename List, typename Element> static List *listOf(std::vector<Element> elements) {
    List *list = nullptr;
    for (auto element = elements.rbegin(); element != elements.rend(); ++element)
      list = record(List{*element, list});
    return list;
  }

  // A fresh generation state and loaded model for every test.
  GenerationState gen;
  LoadedModel loadedModel;
  MemoryFile body, header, runtime, runtimeHeader;
  std::vector<std::unique_ptr<Comp>> owned;
};

#endif
