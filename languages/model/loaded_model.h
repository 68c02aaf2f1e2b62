// What loading a model file gives the compile: the instances in generation
// order and the texts that begin the runtime and clause files.
#ifndef MORVEL_LANGUAGES_MODEL_LOADED_MODEL_H
#define MORVEL_LANGUAGES_MODEL_LOADED_MODEL_H

#include <map>
#include <string>
#include <vector>

struct s_component;

struct LoadedModel {
  std::vector<std::string> usedTypes;              // types of the uses list
  std::map<int, s_component *> instancesByRank;    // by generation rank, from 1
  std::string runtimeSourceText;
  std::string runtimeHeaderText;
  std::string clauseHeader;  // top of every clause header file
  long conditionCount = 0;   // conditions of the whole model
};

#endif
