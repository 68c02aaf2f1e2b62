/* Generated from Pump.def */


#ifndef PUMP_H
#define PUMP_H

#include "Comprt.h"
#include "sarn-runt.h"


class Pump: public Comp {

public:
	Pump(string na, vector<CommandVar*>* in, vector<CommandVar*>* out);
	~Pump();
	void init();

	variable qmax;
	variable flow;
	ModeVar* Pump_motor;
	Atom* Pump_motor_off;
	Atom* Pump_motor_on;
	Atom* Pump_motor_unknown;
condition c_1;
	CommandVar* Pump_push;
	Atom* Pump_push_off;
	Atom* Pump_push_on;
	CommandVar* Pump_order;
	Atom* Pump_order_run;
	Atom* Pump_order_stop;
influence i_i1;
	influence* k_1;
	
	cGraph Pump_n_1;
	influence* j_2;
	
	cGraph Pump_n_2;
	StateFormula* Pump_stf0;
	StateFormula* Pump_stf1;

	Transition* Pump_t0;
	StateFormula* Pump_stf2;
	StateFormula* Pump_stf3;

	Transition* Pump_t1;

	initVar h_1;
};
#endif
