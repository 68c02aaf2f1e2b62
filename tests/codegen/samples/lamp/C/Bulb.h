/* Generated from Bulb.def */


#ifndef BULB_H
#define BULB_H

#include "Comprt.h"
#include "sarn-runt.h"
#include "Switch.h"


class Bulb: public Comp {

public:
	Bulb(string na, vector<CommandVar*>* in, vector<CommandVar*>* out);
	~Bulb();
	void init();

	Switch* cmpin;
	ModeVar* Bulb_filament;
	Atom* Bulb_filament_blown;
	Atom* Bulb_filament_intact;
	Atom* Bulb_filament_unknown;
	ObsVar* Bulb_light;
	Atom* Bulb_light_dark;
	Atom* Bulb_light_lit;
	StateFormula* Bulb_stf2;
	StateFormula* Bulb_stf3;

	Transition* Bulb_t1;
};
#endif
