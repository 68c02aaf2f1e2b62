#include "../C/Pump.h"
#include "../C/Valve.h"
#include "../C/Tank.h"
#include "Scheduler.h"
#include "Clause.h"


	extern Pump* pump;
	extern Valve* valve;
	extern Tank* tank;
	extern void init_cl_valve0 (Scheduler* sMM);
	
