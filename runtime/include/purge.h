// Releasing what a run of the diagnosis runtime built: the application's
// runtime record with its tables, and the past values its variables keep.
#ifndef MORVEL_RUNTIME_PURGE_H
#define MORVEL_RUNTIME_PURGE_H

#include "sarn-runt.h"

// Empties the histories of every variable of the record, keeping the
// current values, so that a new input sequence starts from a clean state.
void purgeHistories(runtime rt);
// Releases the record, its tables and the records they refer to.
void purgeRuntime(runtime rt);

#endif
