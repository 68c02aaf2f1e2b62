/* Generated from Tank.def */


#ifndef TANK_H
#define TANK_H

#include "Comprt.h"
#include "sarn-runt.h"
#include "Pump.h"
class Valve;


class Tank: public Comp {

public:
	Tank(string na, vector<CommandVar*>* in, vector<CommandVar*>* out, Valve* inleti, Pump* feederi);
	~Tank();
	void init();
	Valve* inlet;
	Pump* feeder;

	variable level;
	variable area;
	variable leak;
gVar f_1;
	gVar f_2;
	
	expr s_1;
	
	expr s_2;
	
	expr s_3;
	gVar f_3;
	
	expr s_4;
	
	expr s_5;
	
	expr s_6;
	ModeVar* Tank_state;
	Atom* Tank_state_leaking;
	Atom* Tank_state_normal;
	Atom* Tank_state_unknown;
condition c_4;
	CondVar* Tank_high;
	Atom* Tank_high_c_2;
	Atom* Tank_high_c_3;
condition c_2;
	condition c_3;
	influence i_i1;
	influence i_i2;
	influence* j_1;
	
	cGraph Tank_n_1;
	influence* k_3;
	
	cGraph Tank_n_3;
	StateFormula* Tank_stf6;
	StateFormula* Tank_stf7;

	Transition* Tank_t3;
condition c_6;
	gVar f_4;
	
	expr s_7;
	StateFormula* Tank_stf8;
	StateFormula* Tank_stf9;

	Transition* Tank_t4;
condition c_5;
	
	initVar h_2;
};
#endif
