#include "languages/model/model_loader.h"

#include <fstream>

#include "continuous/diagnostics.h"
#include "discrete/comp.h"
#include "discrete/instances.h"
#include "languages/model/model_builder.h"
#include "languages/model/model_driver.h"

void verifyInstances() {
  for (const auto &instance : comps.records())
    if (!instance->comp->instantiated)
      semError(semWarningNoLine, 0, 75, instance->varName.c_str());
}

int parseModelFile(FILE *input, const std::string &fileName, const std::string &runtimeBase,
                   LoadedModel &model) {
  model = LoadedModel();
  std::string headerPath = runtimeBase + "_rt.h";
  ModelBuilder builder(model, headerPath.substr(headerPath.find('/') + 1));
  ModelDriver driver(input, fileName, builder);
  int result = driver.parse();
  verifyInstances();

  std::ofstream source(runtimeBase + "_rt.cpp");
  if (source) {
    source << model.runtimeSourceText;
    std::ofstream header(headerPath);
    header << model.runtimeHeaderText;
  }
  return result;
}
