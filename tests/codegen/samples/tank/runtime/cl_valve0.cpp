#include "cl_valve0.h"

void init_cl_valve0 (Scheduler* sMM) {
	
	Clause* cl4 = new Clause (valve);
	cl4->addAtomRef(valve->Valve_flowing_yes, true);
	cl4->addAtomRef(valve->Valve_flowing_no, true);
	cl4->setInternal(1);
	valve->Valve_flowing->internal_clauses->push_back(cl4);
sMM->cls->push_back (cl4);
	
	Clause* cl5 = new Clause (valve);
	cl5->addAtomRef(valve->Valve_pos_opened, false);
	cl5->addAtomRef(valve->Valve_flowing_yes, true);
	cl5->addAtomRef(pump->Pump_order_run, true);
	cl5->setInternal(0);
	valve->external_clauses->push_back(cl5);
	sMM->cls->push_back (cl5);
	}
