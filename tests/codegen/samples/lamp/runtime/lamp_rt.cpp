#include "lamp_rt.h"

using namespace std;

void startinit (Scheduler* sMM) {

	wall = new Switch("wall1", 0, 0);
	wall->type = "Switch";
	wall->var_name = "wall";
	bulb = new Bulb("bulb1", wall->cmd_out, 0);
	bulb->type = "Bulb";
	bulb->var_name = "bulb";
	sMM->addComp(wall);
	sMM->addComp(bulb);

	Clause* cl1 = new Clause (wall);
	cl1->addAtomRef(wall->Switch_push_up, false);
	cl1->addAtomRef(wall->Switch_push_down, false);
	cl1->setInternal(1);
	wall->Switch_push->internal_clauses->push_back(cl1);
sMM->cls->push_back (cl1);
	
	Clause* cl2 = new Clause (wall);
	cl2->addAtomRef(wall->Switch_position_on, false);
	cl2->addAtomRef(wall->Switch_power_on, true);
	cl2->setInternal(0);
	wall->external_clauses->push_back(cl2);
	sMM->cls->push_back (cl2);
	
	Clause* cl3 = new Clause (bulb);
	cl3->addAtomRef(wall->Switch_power_on, false);
	cl3->addAtomRef(bulb->Bulb_filament_intact, false);
	cl3->addAtomRef(bulb->Bulb_light_lit, true);
	cl3->setInternal(0);
	bulb->external_clauses->push_back(cl3);
	sMM->cls->push_back (cl3);
	lamp_rt = NULL;
morvel_rt = lamp_rt;
}
long guards_int = 0;
	int Trajectory::twd = 5;
	long h_pi = 0;
	
bool env_opti = 0;
string model_name = "lamp";
	
