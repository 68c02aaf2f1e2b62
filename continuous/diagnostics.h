// Numbered diagnostics of model loading and compiling: semantic errors and
// warnings, and internal-consistency (implementation) messages.
#ifndef MORVEL_CONTINUOUS_DIAGNOSTICS_H
#define MORVEL_CONTINUOUS_DIAGNOSTICS_H

#include <string>

// Set to 1 once a semantic error has been reported; the load and compile
// commands also set it themselves.
extern int loadError;

// Current source line of the file being parsed, kept up to date by the
// parsers; builders pass it to semError.
extern long nligne;

// The file being parsed, named before the line of every report at a line;
// empty when no file is being read (reports then start at "Line").
extern std::string parsedFile;

// A place in a source file, for a report about it made while another file
// is being read (an instantiation's arguments checked by its definition).
struct SourcePosition {
  std::string file;
  long line = 0;
};

// Kinds of semantic report.
enum semKind {
  semErrorAtLine = 0,    // error with line number: ends the program
  semErrorNoLine = 1,    // error without line number: ends the program
  semWarningAtLine = 2,  // warning with line number
  semWarningNoLine = 3   // warning without line number
};

// Prints semantic message `number` (1 to 87) with the detail text (a name or
// other context, "" for none) on standard error. Errors set loadError and
// exit with status 1; warnings return. Any other kind prints nothing.
void semError(int kind, long line, int number, const char *detail = "");

// semError at a line of the given file rather than of the file being parsed.
void semErrorAt(const SourcePosition &position, int kind, int number, const char *detail = "");

// semError without detail, followed by two spaces, the name of the variable
// concerned and a line end; an error prints that line before the program ends.
void semErrorNaming(int kind, long line, int number, const std::string &name);

// Prints implementation message `number` (1 to 9) on standard output and returns.
void implError(int number);

#endif
