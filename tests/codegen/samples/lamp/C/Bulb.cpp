#include "Bulb.h"

Bulb::Bulb(string na, vector<CommandVar*>* in, vector<CommandVar*>* out) : Comp(na) {
		cmd_in = in;
		cmpin = (Switch*) (*cmd_in)[0]->comp_lk;
		cmd_out = out;
	init();
}
Bulb::~Bulb() {

}
void Bulb::init() {

	set<string> Bulb_filament_values;
	Bulb_filament_values.insert("blown");
	Bulb_filament_values.insert("intact");
	Bulb_filament_values.insert("unknown");
	string filamentname = name + ".filament";
	Bulb_filament = new ModeVar(filamentname, Bulb_filament_values, "bulb.filament=intact", this);
		addStateVar(Bulb_filament);

	Bulb_filament_blown = new Atom(Bulb_filament, "blown", name + ".filament=blown");
		(*atoms)["Bulb_filament_blown"]=Bulb_filament_blown;
		Bulb_filament_intact = new Atom(Bulb_filament, "intact", name + ".filament=intact");
		(*atoms)["Bulb_filament_intact"]=Bulb_filament_intact;
		Bulb_filament_unknown = new Atom(Bulb_filament, "unknown", name + ".filament=unknown");
		(*atoms)["Bulb_filament_unknown"]=Bulb_filament_unknown;
	
	set<string> Bulb_light_values;
	Bulb_light_values.insert("dark");
	Bulb_light_values.insert("lit");
	string lightname = name + ".light";
	Bulb_light = new ObsVar(lightname, Bulb_light_values, "bulb.light=dark", this);
		addStateVar(Bulb_light);

	Bulb_light_dark = new Atom(Bulb_light, "dark", name + ".light=dark");
		(*atoms)["Bulb_light_dark"]=Bulb_light_dark;
		Bulb_light_lit = new Atom(Bulb_light, "lit", name + ".light=lit");
		(*atoms)["Bulb_light_lit"]=Bulb_light_lit;
		external_clauses = new vector<Clause*>();

	Bulb_stf2 = new StateFormula();
	Bulb_stf2->addAtom ((*cmpin->atoms)["Switch_power_on"], 1);
 /* gen */
	Bulb_stf2->addAtom (Bulb_filament_intact, 1);
 /* gen */
	Bulb_stf2->setOperat("and");

	Bulb_stf3 = new StateFormula();
	Bulb_stf3->addAtom (Bulb_filament_blown, 1);
 /* gen */
	Bulb_stf3->setOperat("and");

	Bulb_t1 = new Transition(Bulb_stf2, Bulb_stf3, "Fail", 0.01, 0, 0);
Bulb_t1->trans_id = 1;
	
	addTransitionToC(Bulb_t1);
	
}
