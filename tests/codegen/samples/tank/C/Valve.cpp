#include "Valve.h"

Valve::Valve(string na, vector<CommandVar*>* in, vector<CommandVar*>* out, Tank* reservoiri) : Comp(na) {
		cmd_in = in;
		cmpin = (Pump*) (*cmd_in)[0]->comp_lk;
		cmd_out = out;
	reservoir = reservoiri;
	init();
}
Valve::~Valve() {

}
void Valve::init() {

	objet d_1=  (objet) new_malloc(sizeof(s_Objet));
		setObjType(d_1,(objType)2);
		range r_10 = {0,DBL_MAX,1,0};
	setObjRangeVal(d_1,r_10);
	objet x_1=(objet) new_malloc(sizeof(s_Objet));
	setObjType(x_1,(objType)0);
	range r_11 = {0,0, 1, 1};
	setObjRangeVal(x_1,r_11);
		objet y_1=(objet) new_malloc(sizeof(s_Objet));
	setObjType(y_1,(objType)0);
	range r_12 = {0,0, 1, 1};
	setObjRangeVal(y_1,r_12);
		objet z_1=(objet) new_malloc(sizeof(s_Objet));
	setObjType(z_1,(objType)0);
	range r_13 = {0,0, 1, 1};
	setObjRangeVal(z_1,r_13);
		flow= (variable) new_malloc (sizeof(s_Variable));
	flow->nom=mkString((name + ".flow").c_str());
	flow->cst = 0;
	flow->dom = d_1;
	flow->deter = 0;
	flow->oldVal = x_1;
	flow->newVal = y_1;
	flow->mesVal = z_1;
	resetVarAlarms (flow);
	flow->histoMisb = NULL;Valve_n_1 = (cGraph) new_malloc (sizeof (s_CGraph));
	flow->node = Valve_n_1;
	resetVarHisto (flow);
	flow->ncd = 0;flow->relCd = NULL;
	set<string> Valve_pos_values;
	Valve_pos_values.insert("closed");
	Valve_pos_values.insert("opened");
	Valve_pos_values.insert("stuck");
	Valve_pos_values.insert("unknown");
	string posname = name + ".pos";
	Valve_pos = new ModeVar(posname, Valve_pos_values, "valve.pos=closed", this);
		addStateVar(Valve_pos);

	Valve_pos_closed = new Atom(Valve_pos, "closed", name + ".pos=closed");
		(*atoms)["Valve_pos_closed"]=Valve_pos_closed;
		Valve_pos_opened = new Atom(Valve_pos, "opened", name + ".pos=opened");
		(*atoms)["Valve_pos_opened"]=Valve_pos_opened;
		Valve_pos_stuck = new Atom(Valve_pos, "stuck", name + ".pos=stuck");
		(*atoms)["Valve_pos_stuck"]=Valve_pos_stuck;
		Valve_pos_unknown = new Atom(Valve_pos, "unknown", name + ".pos=unknown");
		(*atoms)["Valve_pos_unknown"]=Valve_pos_unknown;
	
	set<string> Valve_flowing_values;
	Valve_flowing_values.insert("no");
	Valve_flowing_values.insert("yes");
	string flowingname = name + ".flowing";
	Valve_flowing = new ObsVar(flowingname, Valve_flowing_values, "valve.flowing=no", this);
		addStateVar(Valve_flowing);

	Valve_flowing_no = new Atom(Valve_flowing, "no", name + ".flowing=no");
		(*atoms)["Valve_flowing_no"]=Valve_flowing_no;
		Valve_flowing_yes = new Atom(Valve_flowing, "yes", name + ".flowing=yes");
		(*atoms)["Valve_flowing_yes"]=Valve_flowing_yes;
	
	set<string> Valve_wear_values;
	Valve_wear_values.insert("high");
	Valve_wear_values.insert("low");
	string wearname = name + ".wear";
	Valve_wear = new DependentVar(wearname, Valve_wear_values, "valve.wear=low", this);
		addStateVar(Valve_wear);

	Valve_wear_high = new Atom(Valve_wear, "high", name + ".wear=high");
		(*atoms)["Valve_wear_high"]=Valve_wear_high;
		Valve_wear_low = new Atom(Valve_wear, "low", name + ".wear=low");
		(*atoms)["Valve_wear_low"]=Valve_wear_low;
		external_clauses = new vector<Clause*>();
	k_1 = (influence*) new_malloc (1*sizeof (influence));
	k_1[0] = NULL;
	Valve_n_1->ncause = 0;
	Valve_n_1->vcause = NULL;
	Valve_n_1->ti = (influType)0;
	Valve_n_1->neffet = 1;
	Valve_n_1->veffet = k_1;
	
	Valve_stf4 = new StateFormula();
	Valve_stf4->addAtom ((*cmpin->atoms)["Pump_order_run"], 1);
 /* gen */
	Valve_stf4->addAtom (Valve_pos_closed, 1);
 /* gen */
	Valve_stf4->setOperat("and");

	Valve_stf5 = new StateFormula();
	Valve_stf5->addAtom (Valve_pos_opened, 1);
 /* gen */
	Valve_stf5->setOperat("and");

	Valve_t2 = new Transition(Valve_stf4, Valve_stf5, "Nominal", 0.99, 0, 0);
Valve_t2->trans_id = 2;
	
	addTransitionToC(Valve_t2);
	
}
