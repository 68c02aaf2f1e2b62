#include "languages/model/model_builder.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "continuous/diagnostics.h"
#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/instances.h"
#include "languages/definition/definition_passes.h"

namespace {

// Instances whose arguments name each other in a circle cannot be built one
// after the other: the load ends here, like on the model file's other fatal
// errors, before any runtime file is written.
[[noreturn]] void argumentCircle(const std::vector<s_component *> &circle) {
  std::string varNames;
  for (const s_component *instance : circle)
    varNames += (varNames.empty() ? "" : ", ") + instance->varName;
  std::printf("Error: instances refer to each other through their arguments: %s\n",
              varNames.c_str());
  std::exit(0);
}

} // namespace

ModelBuilder::ModelBuilder(LoadedModel &model, std::string runtimeHeaderInclude)
    : model(model), runtimeHeaderInclude(std::move(runtimeHeaderInclude)) {}

void ModelBuilder::codeComponent(const s_component *instance) {
  const std::string &type = instance->type, &var = instance->varName;
  model.runtimeHeaderText += "\n\t" + type + "* " + var + ";";
  model.clauseHeader += "\n\textern " + type + "* " + var + ";";

  std::string &source = model.runtimeSourceText;
  source += "\t" + var + " = new " + type + "(\"" + instance->name + "\"";
  // The constructor takes the input and output command connections first: a
  // connection the instantiation leaves out is none, 0.
  std::vector<std::string> args = instance->args;
  if (args.size() < 2)
    args.resize(2, "0");
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    size_t dot = args[i].find('.');
    if (dot == std::string::npos)
      source += ", " + args[i];
    else if (args[i].substr(dot + 1) == "cmdout")
      source += ", " + args[i].substr(0, dot) + "->cmd_out";
  }
  source += ", " + args.back() + ");\n";
  source += "\t" + var + "->type = \"" + type + "\";\n";
  source += "\t" + var + "->var_name = \"" + var + "\";\n";
}

void ModelHybridParsererror(const char *message, const SourcePosition &at) {
  std::printf("%s: %s in main .mdl parser. Line %i\n", at.file.c_str(), message,
              static_cast<int>(at.line));
  std::exit(0);
}

bool ModelBuilder::declareUsedTypes(const std::vector<std::string> &types) {
  comps.clear();
  variables_disc.clear();
  model.usedTypes = types;
  for (const std::string &type : types) {
    if (isDirectoryNamed(type + ".def"))
      return false;
    if (!findDefFile(type + ".def"))
      std::exit(0);
  }
  for (const std::string &type : types) {
    std::string include = "#include \"../C/" + type + ".h\"\n";
    model.runtimeHeaderText += include;
    model.clauseHeader += include;
  }
  model.runtimeHeaderText +=
      "#include \"Scheduler.h\"\n#include \"sarn-runt.h\"\n#include \"purge.h\"\n"
      "#include <string>\n#include <vector>\n\n";
  model.clauseHeader += "#include \"Scheduler.h\"\n#include \"Clause.h\"\n\n";
  model.runtimeSourceText += "#include \"" + runtimeHeaderInclude +
                             "\"\n\nusing namespace std;\n\nvoid startinit (Scheduler* sMM) {\n\n";
  model.instancesByRank.clear();
  return true;
}

void missingUsesDeclaration() {
  std::printf("Error: no 'use' declaration found.\n");
  std::exit(0);
}

bool ModelBuilder::declareComponent(const std::string &type, const std::string &varName,
                                    const SourcePosition &at) {
  bool known = false;
  for (const std::string &declared : model.usedTypes)
    known = known || declared == type;
  if (!known)
    semErrorAt(at, semErrorAtLine, 68);

  auto instance = std::make_unique<s_component>();
  instance->type = type;
  instance->varName = varName;
  instance->comp = parseDef((type + ".def").c_str(), varName);
  if (instance->comp == nullptr)
    return false;
  comps.append(std::move(instance));
  return true;
}

void ModelBuilder::instantiateComponent(const std::string &varName,
                                        const std::vector<std::string> &arguments,
                                        const SourcePosition &at) {
  s_component *instance = comps.find(varName);
  if (instance == nullptr)
    semErrorAt(at, semErrorAtLine, 67, varName.c_str());
  instance->name = arguments.front();
  instance->args.assign(arguments.begin() + 1, arguments.end());
  instance->comp->setName(instance->name);

  std::string fileName = instance->type + ".def";
  parseHybridDefFile(fileName.c_str(), instance->args, instance->comp, at);
  ranking.rank(instance);
  std::printf("%s ---%s \t\t\t-----> [OK]\n", fileName.c_str(), varName.c_str());
}

void ModelBuilder::finishModel() {
  GenerationOrder generation = orderAfterNamed(ranking.order());
  if (!generation.circle.empty())
    argumentCircle(generation.circle);
  int rank = 0;
  for (s_component *instance : generation.instances) {
    model.instancesByRank[++rank] = instance;
    codeComponent(instance);
  }
  for (const auto &instance : comps.records())
    if (instance->comp->instantiated)
      model.runtimeSourceText += "\tsMM->addComp(" + instance->varName + ");\n";
  model.conditionCount = static_cast<long>(conditions.size());
}
