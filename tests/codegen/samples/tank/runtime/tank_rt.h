#include "../C/Pump.h"
#include "../C/Valve.h"
#include "../C/Tank.h"
#include "Scheduler.h"
#include "sarn-runt.h"
#include "purge.h"
#include <string>
#include <vector>


	Pump* pump;
	Valve* valve;
	Tank* tank;extern void init_cl_pump0 (Scheduler* sMM);
	extern void init_cl_valve0 (Scheduler* sMM);
	extern void init_cl_tank0 (Scheduler* sMM);
	
	variable* dico;
variable* input;
double* inval;
variable* display;
double* dinfval;
double* dsupval;
variable* measure;
	double* mesval;
long* lowalarm;long* highalarm;
long* meslowmisb;
long* meshighmisb;
long* mesmisb;
variable* temporal;
	variable* untemporal;
	influence* influ;
	long* condin;
	long* condout;
	condition* condi;
	cGraph* cG;
	initVar* init;
	gVar* gV;
	expr* aC;
	long inAc;
	expr* aMF;
	expr* aG;
	long inAg;
	runtime tank_rt;
runtime morvel_rt;
