// The ending of the application's runtime source and header, written once
// every component instance has been generated: the tables of the continuous
// model, the application's runtime record, the end of the start-up function
// and the globals the runtime library reads.
#ifndef MORVEL_CODEGEN_RUNTIME_FILE_H
#define MORVEL_CODEGEN_RUNTIME_FILE_H

struct GenerationState;

// Sizes of the application's variable tables, set by mrvGenerateRunT and 0
// when it did not run in the latest compile; the execute command reads the
// first three to know which file names the runtime expects.
extern long numInput;
extern long numMeasure;
extern long numDisplay;
extern long numTemporal;
extern long numUntemporal;

// Sets the five counts to 0.
void resetRuntimeCounts();

// Writes the full ending to the runtime source and header files and closes both.
void mrvGenerateRunT(GenerationState &gen);

// Writes the short ending of discrete-only generation, without continuous
// tables or runtime record, to the runtime source and header files and closes both.
void mrvGenerateDiscRunT(GenerationState &gen);

#endif
