// The compile command: clause compilation, the causal graph and updating
// sequence, generation of every component's code and of the runtime file,
// then the compilation of the component classes, their archive and the
// build script that compiles the runtime and links the executable.
#ifndef MORVEL_CODEGEN_COMPILE_COMMAND_H
#define MORVEL_CODEGEN_COMPILE_COMMAND_H

#include <string>

struct GenerationState;
struct LoadedModel;
class Comp;

// Paths derived from the installation and the loaded application at every
// compile; the execute command builds and starts the runtime with them.
extern std::string qxLibDir;      // installation lib/<host type>
extern std::string qxIncDir;      // installation include
extern std::string behDir;        // installation behav
extern std::string itmsDir;       // installation itms
extern std::string sysDir;        // installation system
extern std::string exeFile;       // the executable: bin directory, name, "_xe"
extern std::string exeName;       // its file name
extern std::string runTDir;       // application directory + "runtime"
extern std::string runTFile;      // runtime source
extern std::string runTHead;      // runtime header
extern std::string runBuildFile;  // build script
extern std::string defDir;        // application directory + "C", class files

// False from the moment a compile starts replacing the generated files until
// every component class compiled: the runtime files and the archive may then
// come from different compiles.
extern bool lastCompileComplete;

// What the runtime links against after the application's library, in order.
extern const char *const runtimeLibraries;

// Handler of `compile`; the argument is the optional time step. Returns 0.
int qxCompile(GenerationState &gen, const LoadedModel &model, char *argument);

// Opens the class files of the instance's type (creating them for the first
// instance of the type in this compile) and generates the instance into them.
// Ends the program with status 255 when a class file cannot be created.
int mrvGenerateDef(GenerationState &gen, const char *text, Comp *instance);

// Compiler command up to its first include directory, after the options:
// optimising, else debugging, else plain.
std::string compilerPrefix();

// True when the runtime holds more clauses than clauseFileThreshold (emit.h).
bool usesClauseFiles();

// Sets the derived paths above from the session's installation and application.
void deriveCompilePaths();

// Compiles one clause file (base path without extension), and the runtime source.
std::string clauseFileCompileCommand(const std::string &clauseFile);
std::string runtimeCompileCommand();

// Body of the build script: the clause-file compiles when clause files are in
// use, the runtime compile and the link, each followed by an empty line.
std::string buildScriptCommands(GenerationState &gen);

#endif
