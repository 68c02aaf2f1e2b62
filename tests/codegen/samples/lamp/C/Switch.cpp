#include "Switch.h"

Switch::Switch(string na, vector<CommandVar*>* in, vector<CommandVar*>* out) : Comp(na) {
		cmd_in = in;
		cmd_out = out;
	init();
}
Switch::~Switch() {

}
void Switch::init() {

	set<string> Switch_push_values;
	Switch_push_values.insert("down");
	Switch_push_values.insert("up");
	string pushname = name + ".push";
	Switch_push = new CommandVar(pushname, Switch_push_values, "wall.push=down", this);
	Switch_push->exo = 1;
		addStateVar(Switch_push);

	Switch_push_down = new Atom(Switch_push, "down", name + ".push=down");
		(*atoms)["Switch_push_down"]=Switch_push_down;
		Switch_push_up = new Atom(Switch_push, "up", name + ".push=up");
		(*atoms)["Switch_push_up"]=Switch_push_up;
	
	set<string> Switch_power_values;
	Switch_power_values.insert("off");
	Switch_power_values.insert("on");
	string powername = name + ".power";
	Switch_power = new CommandVar(powername, Switch_power_values, "wall.power=off", this);
		addStateVar(Switch_power);

	Switch_power_off = new Atom(Switch_power, "off", name + ".power=off");
		(*atoms)["Switch_power_off"]=Switch_power_off;
		Switch_power_on = new Atom(Switch_power, "on", name + ".power=on");
		(*atoms)["Switch_power_on"]=Switch_power_on;
		cmd_out = new vector<CommandVar*>();
	cmd_out->push_back (Switch_power);
	
	set<string> Switch_position_values;
	Switch_position_values.insert("broken");
	Switch_position_values.insert("off");
	Switch_position_values.insert("on");
	Switch_position_values.insert("unknown");
	string positionname = name + ".position";
	Switch_position = new ModeVar(positionname, Switch_position_values, "wall.position=off", this);
		addStateVar(Switch_position);

	Switch_position_broken = new Atom(Switch_position, "broken", name + ".position=broken");
		(*atoms)["Switch_position_broken"]=Switch_position_broken;
		Switch_position_off = new Atom(Switch_position, "off", name + ".position=off");
		(*atoms)["Switch_position_off"]=Switch_position_off;
		Switch_position_on = new Atom(Switch_position, "on", name + ".position=on");
		(*atoms)["Switch_position_on"]=Switch_position_on;
		Switch_position_unknown = new Atom(Switch_position, "unknown", name + ".position=unknown");
		(*atoms)["Switch_position_unknown"]=Switch_position_unknown;
		external_clauses = new vector<Clause*>();

	Switch_stf0 = new StateFormula();
	Switch_stf0->addAtom (Switch_push_up, 1);
 /* gen */
	Switch_stf0->addAtom (Switch_position_off, 1);
 /* gen */
	Switch_stf0->setOperat("and");

	Switch_stf1 = new StateFormula();
	Switch_stf1->addAtom (Switch_position_on, 1);
 /* gen */
	Switch_stf1->setOperat("and");

	Switch_t0 = new Transition(Switch_stf0, Switch_stf1, "Nominal", 0.999, 0, 0);
Switch_t0->trans_id = 0;
	
	addTransitionToC(Switch_t0);
	
}
