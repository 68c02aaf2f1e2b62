#include "languages/model/model_loader.h"

#include <fstream>

#include "languages/model/model_builder.h"
#include "languages/model/model_driver.h"

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
