#include "../C/Switch.h"
#include "../C/Bulb.h"
#include "Scheduler.h"
#include "sarn-runt.h"
#include "purge.h"
#include <string>
#include <vector>


	Switch* wall;
	Bulb* bulb;runtime lamp_rt;
runtime morvel_rt;
