// Value objects of the continuous model: reals, ranges and booleans.
#ifndef MORVEL_CONTINUOUS_VALUES_H
#define MORVEL_CONTINUOUS_VALUES_H

// Prepares the shared constant value objects; called once at start-up.
void objInit();

#endif
