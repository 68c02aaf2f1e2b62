#include "cl_tank0.h"

void init_cl_tank0 (Scheduler* sMM) {
	
	Clause* cl6 = new Clause (tank);
	cl6->addAtomRef(tank->Tank_high_c_3, true);
	cl6->addAtomRef(tank->Tank_high_c_2, true);
	cl6->setInternal(1);
	tank->Tank_high->internal_clauses->push_back(cl6);
sMM->cls->push_back (cl6);
	
	Clause* cl7 = new Clause (tank);
	cl7->addAtomRef(tank->Tank_high_c_2, false);
	cl7->addAtomRef(tank->Tank_state_normal, true);
	cl7->addAtomRef(valve->Valve_pos_opened, false);
	cl7->setInternal(0);
	tank->external_clauses->push_back(cl7);
	sMM->cls->push_back (cl7);
	}
