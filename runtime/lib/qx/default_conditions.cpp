// The condition table of an application without conditions. Alone in its
// archive member, so that an application that defines the table keeps its own.
#include "sarn-runt.h"

condition *condi = NULL;
