// The actions of the model file grammar, given where they stand in the model
// file: they declare and instantiate the component instances, order them, and
// collect the first half of the runtime source and header into a LoadedModel.
#ifndef MORVEL_LANGUAGES_MODEL_BUILDER_H
#define MORVEL_LANGUAGES_MODEL_BUILDER_H

#include <string>
#include <vector>

#include "languages/model/instance_ranking.h"
#include "languages/model/loaded_model.h"

struct s_component;
struct SourcePosition;

class ModelBuilder {
 public:
  // `runtimeHeaderInclude` is the runtime header as the runtime source includes it.
  ModelBuilder(LoadedModel &model, std::string runtimeHeaderInclude);

  // The uses list ends the program when a definition file is missing, and
  // fails (the load gives up) when one is a directory.
  bool declareUsedTypes(const std::vector<std::string> &types);
  // Runs the declaration pass for a new instance variable; false when it failed.
  bool declareComponent(const std::string &type, const std::string &varName,
                        const SourcePosition &at);
  void instantiateComponent(const std::string &varName, const std::vector<std::string> &arguments,
                            const SourcePosition &at);
  void finishModel();

 private:
  void codeComponent(const s_component *instance);

  LoadedModel &model;
  std::string runtimeHeaderInclude;
  // Instances ranked as the model is read; instancesByRank is made from them
  // once each stands after the instances its arguments name.
  InstanceRanking ranking;
};

// Reports a failure of the model file parser at that place and ends the program.
[[noreturn]] void ModelHybridParsererror(const char *message, const SourcePosition &at);
[[noreturn]] void missingUsesDeclaration();

#endif
