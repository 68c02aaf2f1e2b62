#include "continuous/values.h"

void objInit() {}
