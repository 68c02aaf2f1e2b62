/* Generated from Switch.def */


#ifndef SWITCH_H
#define SWITCH_H

#include "Comprt.h"
#include "sarn-runt.h"


class Switch: public Comp {

public:
	Switch(string na, vector<CommandVar*>* in, vector<CommandVar*>* out);
	~Switch();
	void init();

	CommandVar* Switch_push;
	Atom* Switch_push_down;
	Atom* Switch_push_up;
	CommandVar* Switch_power;
	Atom* Switch_power_off;
	Atom* Switch_power_on;
	ModeVar* Switch_position;
	Atom* Switch_position_broken;
	Atom* Switch_position_off;
	Atom* Switch_position_on;
	Atom* Switch_position_unknown;
	StateFormula* Switch_stf0;
	StateFormula* Switch_stf1;

	Transition* Switch_t0;
};
#endif
