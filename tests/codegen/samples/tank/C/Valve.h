/* Generated from Valve.def */


#ifndef VALVE_H
#define VALVE_H

#include "Comprt.h"
#include "sarn-runt.h"
#include "Pump.h"
class Tank;


class Valve: public Comp {

public:
	Valve(string na, vector<CommandVar*>* in, vector<CommandVar*>* out, Tank* reservoiri);
	~Valve();
	void init();
	Tank* reservoir;

	Pump* cmpin;
	variable flow;
	ModeVar* Valve_pos;
	Atom* Valve_pos_closed;
	Atom* Valve_pos_opened;
	Atom* Valve_pos_stuck;
	Atom* Valve_pos_unknown;
	ObsVar* Valve_flowing;
	Atom* Valve_flowing_no;
	Atom* Valve_flowing_yes;
	DependentVar* Valve_wear;
	Atom* Valve_wear_high;
	Atom* Valve_wear_low;
	influence* k_1;
	
	cGraph Valve_n_1;
	StateFormula* Valve_stf4;
	StateFormula* Valve_stf5;

	Transition* Valve_t2;
};
#endif
