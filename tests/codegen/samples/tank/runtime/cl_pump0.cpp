#include "cl_pump0.h"

void init_cl_pump0 (Scheduler* sMM) {
	
	Clause* cl1 = new Clause (pump);
	cl1->addAtomRef(pump->Pump_motor_on, false);
	cl1->addAtomRef(pump->Pump_motor_off, false);
	cl1->setInternal(1);
	pump->Pump_motor->internal_clauses->push_back(cl1);
sMM->cls->push_back (cl1);
	
	Clause* cl2 = new Clause (pump);
	cl2->addAtomRef(pump->Pump_motor_unknown, true);
	cl2->addAtomRef(pump->Pump_motor_on, true);
	cl2->addAtomRef(pump->Pump_motor_off, true);
	cl2->setInternal(1);
	pump->Pump_motor->internal_clauses->push_back(cl2);
sMM->cls->push_back (cl2);
	
	Clause* cl3 = new Clause (pump);
	cl3->addAtomRef(pump->Pump_motor_on, false);
	cl3->addAtomRef(pump->Pump_order_run, true);
	cl3->setInternal(0);
	pump->external_clauses->push_back(cl3);
	sMM->cls->push_back (cl3);
	}
