#include "languages/model/model_loader.h"

#include <cstdlib>
#include <fstream>

#include "continuous/diagnostics.h"
#include "continuous/state.h"
#include "discrete/comp.h"
#include "discrete/instances.h"
#include "languages/definition/definition_passes.h"
#include "languages/model/instance_ranking.h"
#include "languages/model/model_driver.h"

std::vector<std::string> declarations;
std::map<int, s_component *> oco;
std::string runtimeSourceText;
std::string runtimeHeaderText;
std::string cl_header;
long numConditions = 0;

namespace {

// The runtime header as the runtime source includes it.
std::string runtimeHeaderInclude;

// Instances ranked as the model is read; oco is made from them once each
// stands after the instances its arguments name.
InstanceRanking ranking;

void codeComponent(const s_component *instance) {
  const std::string &type = instance->type, &var = instance->varName;
  runtimeHeaderText += "\n\t" + type + "* " + var + ";";
  cl_header += "\n\textern " + type + "* " + var + ";";

  std::string &source = runtimeSourceText;
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

void resetLoader() {
  declarations.clear();
  oco.clear();
  ranking.clear();
  runtimeSourceText.clear();
  runtimeHeaderText.clear();
  cl_header.clear();
  numConditions = 0;
}

} // namespace

void ModelHybridParsererror(const char *message, const SourcePosition &at) {
  std::printf("%s: %s in main .mdl parser. Line %i\n", at.file.c_str(), message,
              static_cast<int>(at.line));
  std::exit(0);
}

bool declareUsedTypes(const std::vector<std::string> &types) {
  comps.clear();
  variables_disc.clear();
  declarations = types;
  for (const std::string &type : types) {
    if (isDirectoryNamed(type + ".def"))
      return false;
    if (!findDefFile(type + ".def"))
      std::exit(0);
  }
  for (const std::string &type : types) {
    std::string include = "#include \"../C/" + type + ".h\"\n";
    runtimeHeaderText += include;
    cl_header += include;
  }
  runtimeHeaderText += "#include \"Scheduler.h\"\n#include \"sarn-runt.h\"\n#include \"purge.h\"\n"
                       "#include <string>\n#include <vector>\n\n";
  cl_header += "#include \"Scheduler.h\"\n#include \"Clause.h\"\n\n";
  runtimeSourceText += "#include \"" + runtimeHeaderInclude +
                       "\"\n\nusing namespace std;\n\nvoid startinit (Scheduler* sMM) {\n\n";
  oco.clear();
  return true;
}

void missingUsesDeclaration() {
  std::printf("Error: no 'use' declaration found.\n");
  std::exit(0);
}

bool declareComponent(const std::string &type, const std::string &varName, const SourcePosition &at) {
  bool known = false;
  for (const std::string &declared : declarations)
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

void instantiateComponent(const std::string &varName, const std::vector<std::string> &arguments,
                          const SourcePosition &at) {
  s_component *instance = comps.find(varName);
  if (instance == nullptr)
    semErrorAt(at, semErrorAtLine, 67, varName.c_str());
  instance->name = arguments.front();
  instance->args.assign(arguments.begin() + 1, arguments.end());
  instance->comp->setName(instance->name);

  std::string fileName = instance->type + ".def";
  parseHybridDefFile(fileName.c_str(), instance->args, instance->comp, at);
  rankComponents(instance);
  std::printf("%s ---%s \t\t\t-----> [OK]\n", fileName.c_str(), varName.c_str());
}

void rankComponents(s_component *instance) { ranking.rank(instance); }

void finishModel() {
  GenerationOrder generation = orderAfterNamed(ranking.order());
  if (!generation.circle.empty())
    argumentCircle(generation.circle);
  int rank = 0;
  for (s_component *instance : generation.instances) {
    oco[++rank] = instance;
    codeComponent(instance);
  }
  for (const auto &instance : comps.records())
    if (instance->comp->instantiated)
      runtimeSourceText += "\tsMM->addComp(" + instance->varName + ");\n";
  numConditions = static_cast<long>(conditions.size());
}

void verifyInstances() {
  for (const auto &instance : comps.records())
    if (!instance->comp->instantiated)
      semError(semWarningNoLine, 0, 75, instance->varName.c_str());
}

int parseModelFile(FILE *input, const std::string &fileName, const std::string &runtimeBase) {
  resetLoader();
  std::string headerPath = runtimeBase + "_rt.h";
  runtimeHeaderInclude = headerPath.substr(headerPath.find('/') + 1);

  ModelDriver driver(input, fileName);
  int result = driver.parse();
  verifyInstances();

  std::ofstream source(runtimeBase + "_rt.cpp");
  if (source) {
    source << runtimeSourceText;
    std::ofstream header(headerPath);
    header << runtimeHeaderText;
  }
  return result;
}
