#include "Pump.h"

Pump::Pump(string na, vector<CommandVar*>* in, vector<CommandVar*>* out) : Comp(na) {
		cmd_in = in;
		cmd_out = out;
	init();
}
Pump::~Pump() {

}
void Pump::init() {

	objet x_1=  (objet) new_malloc(sizeof(s_Objet));
		setObjType(x_1,(objType)1);
	range r_10 = {2,0, 1, 1};
	setObjRangeVal(x_1,r_10);
objet* m_1 = (objet*) new_malloc (2*sizeof (objet));
	m_1[0] = (objet) new_malloc (sizeof (s_Objet));
	setObjType (m_1[0], (objType)0);
	range r_1h0 = {0, 0, 1, 1};
	setObjRangeVal (m_1[0], r_1h0);
	m_1[1] = (objet) new_malloc (sizeof (s_Objet));
	setObjType (m_1[1], (objType)0);
	range r_1h1 = {0, 0, 1, 1};
	setObjRangeVal (m_1[1], r_1h1);
	objet* o_1 = (objet*) new_malloc (2*sizeof (objet));
	o_1[0] = (objet) new_malloc (sizeof (s_Objet));
	setObjType (o_1[0], (objType)0);
	range r_1hm2 = {0, 0, 1, 1};
	setObjRangeVal (o_1[0], r_1hm2);
	o_1[1] = (objet) new_malloc (sizeof (s_Objet));
	setObjType (o_1[1], (objType)0);
	range r_1hm3 = {0, 0, 1, 1};
	setObjRangeVal (o_1[1], r_1hm3);
	long* u_1 = (long*) calloc (2, sizeof (long));
	long* w_1 = (long*) calloc (2, sizeof (long));
		qmax= (variable) new_malloc (sizeof(s_Variable));
	qmax->nom=mkString((name + ".qmax").c_str());
	qmax->cst = 1;
	qmax->dom = NULL;
	qmax->deter = 0;
	qmax->oldVal = x_1;
	qmax->newVal = NULL;
	qmax->mesVal = NULL;
	resetVarAlarms (qmax);
	qmax->histoMisb = NULL;Pump_n_1 = (cGraph) new_malloc (sizeof (s_CGraph));
	qmax->node = Pump_n_1;
	qmax->histoLn = 2;
	qmax->histo = m_1;
	qmax->histoMes = o_1;
	qmax->histoLowAlrm = u_1;
	qmax->histoHighAlrm = w_1;
	qmax->ncd = 0;qmax->relCd = NULL;
	objet d_2=  (objet) new_malloc(sizeof(s_Objet));
		setObjType(d_2,(objType)2);
		range r_20 = {0,10,1,1};
	setObjRangeVal(d_2,r_20);
	objet x_2=(objet) new_malloc(sizeof(s_Objet));
	setObjType(x_2,(objType)0);
	range r_21 = {0,0, 1, 1};
	setObjRangeVal(x_2,r_21);
		objet y_2=(objet) new_malloc(sizeof(s_Objet));
	setObjType(y_2,(objType)0);
	range r_22 = {0,0, 1, 1};
	setObjRangeVal(y_2,r_22);
		objet z_2=(objet) new_malloc(sizeof(s_Objet));
	setObjType(z_2,(objType)0);
	range r_23 = {0,0, 1, 1};
	setObjRangeVal(z_2,r_23);
		flow= (variable) new_malloc (sizeof(s_Variable));
	flow->nom=mkString((name + ".flow").c_str());
	flow->cst = 0;
	flow->dom = d_2;
	flow->deter = 0;
	flow->oldVal = x_2;
	flow->newVal = y_2;
	flow->mesVal = z_2;
	resetVarAlarms (flow);
	flow->histoMisb = NULL;Pump_n_2 = (cGraph) new_malloc (sizeof (s_CGraph));
	flow->node = Pump_n_2;
	resetVarHisto (flow);
	flow->ncd = 0;flow->relCd = NULL;
	set<string> Pump_motor_values;
	Pump_motor_values.insert("off");
	Pump_motor_values.insert("on");
	Pump_motor_values.insert("unknown");
	string motorname = name + ".motor";
	Pump_motor = new ModeVar(motorname, Pump_motor_values, "pump.motor=off", this);
		addStateVar(Pump_motor);

	Pump_motor_off = new Atom(Pump_motor, "off", name + ".motor=off");
		(*atoms)["Pump_motor_off"]=Pump_motor_off;
		Pump_motor_on = new Atom(Pump_motor, "on", name + ".motor=on");
		(*atoms)["Pump_motor_on"]=Pump_motor_on;
		Pump_motor_unknown = new Atom(Pump_motor, "unknown", name + ".motor=unknown");
		(*atoms)["Pump_motor_unknown"]=Pump_motor_unknown;
	c_1 = mkCond ();
	setCondType (c_1, 6);
	setCondCTE (c_1, 0);
	setCondAtom (c_1, Pump_motor_on);
	;
		Pump_motor->conditions->insert(pair<const char*, int>(Pump_motor_on->getId(), 0));
	Pump_motor_on->cond = 1;
	
	set<string> Pump_push_values;
	Pump_push_values.insert("off");
	Pump_push_values.insert("on");
	string pushname = name + ".push";
	Pump_push = new CommandVar(pushname, Pump_push_values, "pump.push=off", this);
	Pump_push->exo = 1;
		addStateVar(Pump_push);

	Pump_push_off = new Atom(Pump_push, "off", name + ".push=off");
		(*atoms)["Pump_push_off"]=Pump_push_off;
		Pump_push_on = new Atom(Pump_push, "on", name + ".push=on");
		(*atoms)["Pump_push_on"]=Pump_push_on;
	
	set<string> Pump_order_values;
	Pump_order_values.insert("run");
	Pump_order_values.insert("stop");
	string ordername = name + ".order";
	Pump_order = new CommandVar(ordername, Pump_order_values, "pump.order=stop", this);
		addStateVar(Pump_order);

	Pump_order_run = new Atom(Pump_order, "run", name + ".order=run");
		(*atoms)["Pump_order_run"]=Pump_order_run;
		Pump_order_stop = new Atom(Pump_order, "stop", name + ".order=stop");
		(*atoms)["Pump_order_stop"]=Pump_order_stop;
		cmd_out = new vector<CommandVar*>();
	cmd_out->push_back (Pump_order);
		external_clauses = new vector<Clause*>();

	enum boolVal t_1[1]={(boolVal)1};
	objet g_1=(objet) new_malloc(sizeof(s_Objet));
	setObjType(g_1, (objType)1);
	range r_g_1 = {1,0};
	setObjRangeVal(g_1, r_g_1);
	objet xi_1=NULL;
	objet wn_1=NULL;
	objet n1_1=NULL;
	objet n2_1=NULL;
	objet d0_1=NULL;
	objet d1_1=NULL;
	objet d2_1=NULL;
	objet er_1=(objet) new_malloc(sizeof(s_Objet));
	setObjType(er_1, (objType)1);
	range r_er_1 = {0,0};
	setObjRangeVal(er_1, r_er_1);
	objet p_1=(objet) new_malloc(sizeof(s_Objet));
	setObjType(p_1, (objType)1);
	range r_p_1 = {0,0};
	setObjRangeVal(p_1, r_p_1);
	objet q_1=(objet) new_malloc(sizeof(s_Objet));
	setObjType(q_1, (objType)1);
	range r_q_1 = {0,0};
	setObjRangeVal(q_1, r_q_1);
	objet sa_1=(objet) new_malloc(sizeof(s_Objet));
	setObjType(sa_1, (objType)1);
	range r_sa_1 = {0,0};
	setObjRangeVal(sa_1, r_sa_1);
	objet uu_1=(objet) new_malloc(sizeof(s_Objet));
	setObjType(uu_1, (objType)1);
	range r_uu_1 = {0,0};
	setObjRangeVal(uu_1, r_uu_1);
	i_i1=(influence) new_malloc(sizeof(s_Influence));
	i_i1->name = mkString("feed");
	i_i1->it = (influType)3;
	i_i1->cause = qmax;
	i_i1->effet = flow;
	i_i1->cd = c_1;
	i_i1->length_act_cond_hist = 0;
	i_i1->act_cond_array = t_1;
	i_i1->gain = g_1;
	i_i1->delinf = 0;
	i_i1->delsup = 0;
	i_i1->tRep = er_1;
	i_i1->a = p_1;
	i_i1->b = q_1;
	i_i1->a2 = sa_1;
	i_i1->b2 = uu_1;
	i_i1->xi = xi_1;
	i_i1->w = wn_1;
	i_i1->n1 = n1_1;
	i_i1->n2 = n2_1;
	i_i1->d0 = d0_1;
	i_i1->d1 = d1_1;
	i_i1->d2 = d2_1;
	addInfluence (i_i1);
	i_i1->inf_fct = false;
	k_1 = (influence*) new_malloc (1*sizeof (influence));
	k_1[0] = i_i1;
	Pump_n_1->ncause = 0;
	Pump_n_1->vcause = NULL;
	Pump_n_1->ti = (influType)0;
	Pump_n_1->neffet = 1;
	Pump_n_1->veffet = k_1;
	j_2 = (influence*) new_malloc (1*sizeof (influence));
	j_2[0] = i_i1;
	Pump_n_2->ncause = 1;
	Pump_n_2->vcause = j_2;
	Pump_n_2->ti = (influType)3;
	Pump_n_2->neffet = 0;
	Pump_n_2->veffet = NULL;
	
	Pump_stf0 = new StateFormula();
	Pump_stf0->addAtom (Pump_push_on, 1);
 /* gen */
	Pump_stf0->addAtom (Pump_motor_off, 1);
 /* gen */
	Pump_stf0->setOperat("and");

	Pump_stf1 = new StateFormula();
	Pump_stf1->addAtom (Pump_motor_on, 1);
 /* gen */
	Pump_stf1->setOperat("and");

	Pump_t0 = new Transition(Pump_stf0, Pump_stf1, "Nominal", 0.99, 0, 0);
Pump_t0->trans_id = 0;
	
	addTransitionToC(Pump_t0);
	
	Pump_stf2 = new StateFormula();
	Pump_stf2->addAtom (Pump_motor_on, 1);
 /* gen */
	Pump_stf2->setOperat("and");

	Pump_stf3 = new StateFormula();
	Pump_stf3->addAtom (Pump_motor_on, 1);
 /* gen */
	Pump_stf3->setOperat("and");

	Pump_t1 = new Transition(Pump_stf2, Pump_stf3, "Nominal", 1, 0, 1);
Pump_t1->trans_id = 1;
	
	addTransitionToC(Pump_t1);
		objet a_1 = (objet) new_malloc (sizeof (s_Objet));
	setObjType(a_1, (objType)1);
	range r_a_1 = {0,0};
	setObjRangeVal(a_1, r_a_1);
	h_1 = (initVar) new_malloc (sizeof (s_InitVar));
	h_1->var = flow;
	h_1->val = a_1;
	
}
