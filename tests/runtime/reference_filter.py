"""An exact reference of the runtime's diagnosis, written from docs/runtime.md.

It reads the application as a runtime prints it with --model and the files
of a run as the runtime reads them, then tracks EVERY joint assignment of the
modes reachable at each step (no limit on candidates or successors), each
with its own continuous state, weighed as "Stepping" and "Diagnosis" say.
Everything is done by brute force: it is meant for small models only (the
consistency test enumerates the truth values of the atoms that the clauses
leave open). A noise-free plant simulator with forced modes writes measure
files for scenarios.
"""
import functools
import itertools
import math
import re
from collections import namedtuple
from dataclasses import dataclass, field

SETTINGS = {"noise": 0.02, "unknown": 1e-5, "free_width": 100.0}

# --- Conditions ------------------------------------------------------------
# A condition is a tuple: ("const", b), ("atom", id), ("rel", variable,
# relation, right side), ("or", c, d), ("and", c, d), ("not", c). A right
# side is ("num", x), ("var", name), ("range", lo, hi), ("neg", e) or
# ("bin", operator, e, f).


def closing(text, start):
    """The index of the parenthesis closing the one at start."""
    depth = 0
    for i in range(start, len(text)):
        depth += {"(": 1, ")": -1}.get(text[i], 0)
        if depth == 0:
            return i
    raise ValueError(f"unbalanced condition {text!r}")


def parse_condition(text):
    if text.startswith("!("):
        return ("not", parse_condition(text[2:closing(text, 1)]))
    if text.startswith("("):
        end = closing(text, 0)
        operator, rest = text[end + 1:end + 4], text[end + 4:]
        kind = {" | ": "or", " & ": "and"}[operator]
        return (kind, parse_condition(text[1:end]), parse_condition(rest[1:-1]))
    if text in ("true", "false"):
        return ("const", text == "true")
    if " " not in text:
        return ("atom", text)
    variable, relation, right = text.split(" ", 2)
    if right.startswith("["):
        low, high = right[1:-1].split(",")
        return ("rel", variable, relation, ("range", float(low), float(high)))
    return ("rel", variable, relation, parse_expression(re.findall(r"\(|\)|[^\s()]+", right)))


def parse_expression(tokens):
    token = tokens.pop(0)
    if token == "(":
        left, operator, right = parse_expression(tokens), tokens.pop(0), parse_expression(tokens)
        tokens.pop(0)
        return ("bin", operator, left, right)
    if token == "-":
        return ("neg", parse_expression(tokens))
    try:
        return ("num", float(token))
    except ValueError:
        return ("neg", ("var", token[1:])) if token.startswith("-") else ("var", token)


OPERATORS = {"+": lambda a, b: a + b, "-": lambda a, b: a - b, "*": lambda a, b: a * b,
             "/": lambda a, b: a / b, "**": lambda a, b: a ** b}
RELATIONS = {"=": lambda a, b: a == b, "!=": lambda a, b: a != b, "<=": lambda a, b: a <= b,
             "<": lambda a, b: a < b, ">=": lambda a, b: a >= b, ">": lambda a, b: a > b}


def expression_value(e, value):
    kind = e[0]
    if kind == "num":
        return e[1]
    if kind == "var":
        return value(e[1])
    if kind == "neg":
        inner = expression_value(e[1], value)
        return None if inner is None else -inner
    left, right = expression_value(e[2], value), expression_value(e[3], value)
    return None if left is None or right is None else OPERATORS[e[1]](left, right)


def holds(c, atom, value):
    """The truth of a condition, atom(id) and value(variable) giving the
    truth of the atoms and the variables' values; None (in three-valued
    logic) when it depends on a free value, which value() gives as None."""
    kind = c[0]
    if kind == "const":
        return c[1]
    if kind == "atom":
        return atom(c[1])
    if kind == "not":
        inner = holds(c[1], atom, value)
        return None if inner is None else not inner
    if kind in ("or", "and"):
        left, right = holds(c[1], atom, value), holds(c[2], atom, value)
        decisive = kind == "or"
        if left is decisive or right is decisive:
            return decisive
        return None if left is None or right is None else not decisive
    x = value(c[1])
    if c[3][0] == "range":
        return None if x is None else c[3][1] <= x <= c[3][2]
    y = expression_value(c[3], value)
    return None if x is None or y is None else RELATIONS[c[2]](x, y)


# --- The model description -------------------------------------------------

@dataclass
class StateVariable:
    kind: str                  # Mode, Command, Observable, Cond, Dependent
    name: str
    default: str
    values: list               # in their sorted order, as printed
    exogenous: bool
    conditions: list = field(default_factory=list)    # (atom, condition index)
    transitions: list = field(default_factory=list)
    faults: set = field(default_factory=set)           # values reached by a Fail transition


Transition = namedtuple("Transition", "kind probability pre operator guard result")
Influence = namedtuple("Influence", "name cause kind effect gain delay resptime xi w condition")


@dataclass
class Variable:
    name: str
    roles: set
    constant: float = None
    domain: tuple = None
    initial: float = None
    influences: list = field(default_factory=list)

    @property
    def kind(self):
        kinds = {"C": "S"}.get(self.influences[0].kind, self.influences[0].kind)
        assert all({"C": "S"}.get(f.kind, f.kind) == kinds for f in self.influences), self.name
        return kinds


def number(text):
    """A printed value; a range stands for its middle."""
    if text.startswith("["):
        low, high = (float(part) for part in text[1:-1].split(","))
        return (low + high) / 2
    return float(text)


def literals(text, separator):
    """(atom, polarity) pairs of a formula printed with the separator."""
    if text == "true":
        return []
    return [(part[1:], False) if part.startswith("!") else (part, True)
            for part in text.split(separator)]


class Model:
    """The application as printed by `<name>_xe --model`."""

    def __init__(self, description):
        self.state, self.clauses, self.conditions = {}, [], {}
        self.variables, self.influences, current = {}, [], None
        for line in description.splitlines():
            if line.startswith("Application "):
                found = re.search(r"time step (\S+)\.$", line)
                self.step = float(found.group(1)) if found else None
            elif m := re.match(r"  (\w+) (\S+) = (\S+); values ([^;]*)(; exogenous)?$", line):
                current = StateVariable(m[1], m[2], m[3], m[4].split(), bool(m[5]))
                self.state[current.name] = current
            elif m := re.match(r"    (\S+) when condition (\d+): ", line):
                current.conditions.append((m[1], int(m[2])))
            elif m := re.match(r"  transition (\w+) (\S+)(?: idle)?: (.*) -> (\S+)$", line):
                self.add_transition(m[1], float(m[2]), m[3], m[4])
            elif m := re.match(r"clause (?:when condition (\d+): )?(.*)$", line):
                self.clauses.append((None if m[1] is None else int(m[1]),
                                     tuple(literals(m[2].replace("non - ", "!"), " \\/ "))))
            elif m := re.match(r"condition (\d+): (.*)$", line):
                self.conditions[int(m[1])] = parse_condition(m[2])
            elif line.startswith("influence "):
                self.influences.append(self.influence(line))
            elif line.startswith("variable "):
                self.add_variable(line)
        for influence in self.influences:
            self.variables[influence.effect].influences.append(influence)
        self.modes = [v for v in self.state.values() if v.kind == "Mode"]
        self.exogenous = {v.name for v in self.state.values() if v.kind == "Command" and v.exogenous}
        self.observables = [v for v in self.state.values() if v.kind == "Observable"]
        self.plain_clauses = [c for k, c in self.clauses if k is None]
        self.inputs = [v for v in self.variables.values() if "input" in v.roles]
        self.measured = [v for v in self.variables.values() if "measure" in v.roles]
        computed = [v for v in self.variables.values() if v.influences and "input" not in v.roles]
        self.order = sorted(computed, key=self.depth)

    def add_transition(self, kind, probability, guard, result):
        variable, value = result.split("=", 1)
        operator = " | " if " | " in guard else " & "
        guard = literals(guard, operator)
        pre = next((atom.split("=", 1)[1] for atom, positive in guard
                    if positive and atom.split("=", 1)[0] == variable), None)
        self.state[variable].transitions.append(
            Transition(kind, probability, pre, operator.strip(), guard, value))
        if kind == "Fail":
            self.state[variable].faults.add(value)

    @staticmethod
    def influence(line):
        m = re.match(r"influence (\S+): (\S+) -(\w+)-> (\S+); gain (\S+); delay (\S+); resptime (\S+)"
                     r"(?:; xi (\S+); w (\S+))?(?: when (.*))?$", line)
        return Influence(m[1], m[2], m[3], m[4], 1.0 if m[3] == "C" else float(m[5]), int(m[6]),
                         float(m[7]), m[8] and float(m[8]), m[9] and float(m[9]),
                         m[10] and parse_condition(m[10]))

    def add_variable(self, line):
        m = re.match(r"variable (\S+)((?: input| measure| display)*)(?: = (\[[^\]]*\]|\S+)| in \[(\S+), (\S+)\])?"
                     r"(?:; initial (\[[^\]]*\]|[^;]+))?(?:; read by conditions [\d ]+)?$", line)
        self.variables[m[1]] = Variable(m[1], set(m[2].split()), m[3] and number(m[3]),
                                        m[4] and (float(m[4]), float(m[5])), m[6] and number(m[6]))

    def depth(self, variable):
        """Updating order: what depends on the past first (depth 0), then by
        increasing causal depth through static influences without delay."""
        causes = [self.variables[f.cause] for f in variable.influences if variable.kind == "S" and f.delay == 0]
        return max((1 + self.depth(cause) for cause in causes if cause.influences), default=0)

    def default(self):
        return {v.name: v.default for v in self.modes}

    def rank(self, modes):
        """The tie order of assignments: mode values in table order, each
        variable's values in their sorted order."""
        return tuple(v.values.index(modes[v.name]) for v in self.modes)

    def faults(self, modes, since):
        return {v.name: (modes[v.name], since[v.name]) for v in self.modes
                if modes[v.name] in v.faults or modes[v.name] == "unknown"}


# --- The files of a run ----------------------------------------------------

class Run:
    """The input, measure, command and observation columns of a run's files,
    read as the runtime reads them: the input file first when the
    application has inputs, the measure file next when it has measures."""

    def __init__(self, model, *texts):
        self.model, self.columns = model, {}
        roles = ["input"] * bool(model.inputs) + ["measure"] * bool(model.measured) or ["both"]
        last = 0.0
        for role, text in zip(roles, texts):
            rows = [line.split("#")[0].split() for line in text.splitlines()]
            rows = [row for row in rows if row]
            if rows[0][0] == "time":
                names, rows = rows[0][1:], rows[1:]
            else:
                names = [v.name for v in (model.inputs if role == "input" else model.measured)]
            for i, name in enumerate(names):
                self.columns[name] = [(float(row[0]), None if row[i + 1] == "-" else row[i + 1])
                                      for row in rows]
            last = max(last, float(rows[-1][0]))
        self.step = model.step or 1.0
        self.steps = int(math.floor(last / self.step + 1e-9)) + 1

    def held(self, name, k):
        """The value in force at step k (before the first row, the first's)."""
        rows = self.columns[name]
        earlier = [value for time, value in rows if time <= k * self.step + 1e-9 * self.step]
        return earlier[-1] if earlier else rows[0][1]

    def exact(self, name, k):
        """The value of the row at step k's time, None when there is none or '-'."""
        return next((value for time, value in self.columns[name]
                     if abs(time - k * self.step) <= 1e-9 * self.step), None)

    @functools.cache
    def inputs(self, k):
        return {v.name: float(self.held(v.name, k)) for v in self.model.inputs}

    @functools.cache
    def commands(self, k):
        return {name: self.held(name, k) for name in self.model.exogenous if name in self.columns}

    @functools.cache
    def measures(self, k):
        found = {v.name: self.exact(v.name, k) for v in self.model.measured if v.name in self.columns}
        return {name: float(value) for name, value in found.items() if value is not None}

    @functools.cache
    def observations(self, k):
        found = {v.name: self.exact(v.name, k) for v in self.model.observables if v.name in self.columns}
        return {name: value for name, value in found.items() if value is not None}

    def first_measure(self, name):
        return next((float(value) for _, value in self.columns.get(name, []) if value is not None), None)


# --- Small linear algebra and the free variables ----------------------------

def solve(matrix, vector):
    """(x, det) of matrix·x = vector, by Gauss elimination with pivoting."""
    n = len(vector)
    rows = [list(matrix[i]) + [vector[i]] for i in range(n)]
    det = 1.0
    for col in range(n):
        pivot = max(range(col, n), key=lambda r: abs(rows[r][col]))
        if rows[pivot][col] == 0:
            raise ValueError("the free variables are not determined by the measures")
        if pivot != col:
            rows[col], rows[pivot], det = rows[pivot], rows[col], -det
        det *= rows[col][col]
        for r in range(col + 1, n):
            factor = rows[r][col] / rows[col][col]
            rows[r] = [a - factor * b for a, b in zip(rows[r], rows[col])]
    x = [0.0] * n
    for i in reversed(range(n)):
        x[i] = (rows[i][n] - sum(rows[i][j] * x[j] for j in range(i + 1, n))) / rows[i][i]
    return x, det


def free_likelihood(rows, widths):
    """log L and the most probable values of the free variables, from rows
    (measure m, offset a, {free variable: coefficient}, sigma) and the
    widths of the free variables' priors: the documented closed form."""
    names = sorted({name for _, _, coefficients, _ in rows for name, b in coefficients.items() if b})
    n, J = len(names), len(rows)
    B = [[coefficients.get(name, 0.0) for name in names] for _, _, coefficients, _ in rows]
    r = [m - a for m, a, _, _ in rows]
    weights = [1 / sigma ** 2 for _, _, _, sigma in rows]
    A = [[sum(weights[j] * B[j][p] * B[j][q] for j in range(J)) for q in range(n)] for p in range(n)]
    b = [sum(weights[j] * B[j][p] * r[j] for j in range(J)) for p in range(n)]
    best, det = solve(A, b)
    quadratic = sum(w * x * x for w, x in zip(weights, r)) - sum(p * q for p, q in zip(b, best))
    log_l = ((n - J) / 2 * math.log(2 * math.pi) - math.log(det) / 2
             - sum(math.log(sigma) for _, _, _, sigma in rows) - quadratic / 2
             - sum(math.log(widths[name]) for name in names))
    return log_l, dict(zip(names, best))


def log_gaussian(m, p, sigma):
    return -(m - p) ** 2 / (2 * sigma ** 2) - math.log(sigma * math.sqrt(2 * math.pi))


def second_order(x, slope, target, xi, w, T):
    """(x, x') after T of x'' + 2ξω x' + ω² x = ω² target, by the matrix
    exponential of the system (Taylor series after scaling, then squaring)."""
    M = [[0.0, T], [-w * w * T, -2 * xi * w * T]]
    halvings = max(0, math.ceil(math.log2(max(abs(M[1][0]), abs(M[1][1]), 1.0))) + 1)
    M = [[a / 2 ** halvings for a in row] for row in M]
    E, term = [[1.0, 0.0], [0.0, 1.0]], [[1.0, 0.0], [0.0, 1.0]]
    multiply = lambda P, Q: [[sum(P[i][k] * Q[k][j] for k in range(2)) for j in range(2)] for i in range(2)]
    for n in range(1, 30):
        term = [[a / n for a in row] for row in multiply(term, M)]
        E = [[a + b for a, b in zip(p, q)] for p, q in zip(E, term)]
    for _ in range(halvings):
        E = multiply(E, E)
    y, v = x - target, slope
    return target + E[0][0] * y + E[0][1] * v, E[1][0] * y + E[1][1] * v


# --- Continuous stepping ----------------------------------------------------

# One step of a continuous state; predicted: the predictions of the measures.
State = namedtuple("State", "values slopes modes predicted")


class Plant:
    """The continuous model, stepped for one assignment of modes."""

    def __init__(self, model, settings):
        self.model, self.settings = model, settings
        self.T = model.step

    @staticmethod
    def domain_width(variable):
        """The width of the variable's domain, None when it is unbounded."""
        if variable.domain and math.isfinite(variable.domain[1] - variable.domain[0]):
            return variable.domain[1] - variable.domain[0]
        return None

    def sigma(self, variable, measure):
        return self.settings["noise"] * (self.domain_width(variable) or max(1.0, abs(measure)))

    def initial(self, run, modes):
        """Step 0: inputs, initial values, first measures, zeros; the measures
        of time 0 replace the values (their weight does not matter: the
        belief holds one assignment)."""
        values, measures = {}, run.measures(0)
        for v in self.model.variables.values():
            if v.constant is not None:
                values[v.name] = v.constant
            elif "input" in v.roles:
                values[v.name] = run.inputs(0)[v.name]
            elif v.initial is not None:
                values[v.name] = measures.get(v.name, v.initial)
            elif "measure" in v.roles and run.first_measure(v.name) is not None:
                values[v.name] = run.first_measure(v.name)
            else:
                values[v.name] = 0.0
        slopes = {v.name: 0.0 for v in self.model.order if v.kind == "D2"}
        predicted = {v.name: v.initial for v in self.model.measured if v.initial is not None and v.name in measures}
        return State(values, slopes, dict(modes), predicted)

    def nominal(self, run):
        """The nominal prediction: the states of every step, modes at default."""
        history = (self.initial(run, self.model.default()),)
        for k in range(1, run.steps):
            history += (self.advance(history, self.model.default(), run.inputs(k), run.measures(k))[0],)
        return history

    def advance(self, history, modes, inputs, measures, free=frozenset()):
        """The state of step k = len(history) with these modes, the log
        likelihood of the measures, and the variables whose values are
        free (not determined by a measure) at this step."""
        k, previous = len(history), history[-1]
        values = {name: previous.values[name] for name in self.model.variables}
        values.update(inputs)
        slopes = dict(previous.slopes)
        forms, rows, log_l, predicted = {}, [], 0.0, {}   # forms: affine (a, {free: b}) of values

        def at(s):
            return history[max(s, 0)]

        def condition_value(name, s):
            if s == k:
                return previous.values[name] if name in forms or name in free else values[name]
            return at(s).values[name]

        def active(f, s):
            if f.condition is None:
                return True
            return holds(f.condition, mode_atom(modes if s == k else at(s).modes),
                         lambda name: condition_value(name, s))

        for v in self.model.variables.values():     # measured variables without causes
            if not v.influences and "input" not in v.roles and v.name in measures:
                m, predicted[v.name] = measures[v.name], values[v.name]
                log_l += log_gaussian(m, values[v.name], self.sigma(v, m))
                values[v.name] = m
        for v in self.model.order:
            if v.name in free:
                form = (0.0, {v.name: 1.0})
            else:
                a, coefficients = 0.0, {}
                for f in v.influences:
                    s = k - f.delay - (0 if v.kind == "S" else 1)
                    if not active(f, s):
                        continue
                    if s == k and f.cause in forms:
                        cause_a, cause_b = forms[f.cause]
                    else:
                        cause_a, cause_b = (values if s == k else at(s).values)[f.cause], {}
                    a += f.gain * cause_a
                    for name, b in cause_b.items():
                        coefficients[name] = coefficients.get(name, 0.0) + f.gain * b
                form = (self.computed(v, previous, slopes, a), coefficients)
            if v.name in measures:
                m, sigma = measures[v.name], self.sigma(v, measures[v.name])
                if any(form[1].values()):
                    rows.append((m, form[0], form[1], sigma))
                else:
                    log_l += log_gaussian(m, form[0], sigma)
                    predicted[v.name] = form[0]
                values[v.name] = m
            elif any(form[1].values()):
                forms[v.name] = form
            else:
                values[v.name] = form[0]
        best = {}
        if rows:
            widths = {name: self.domain_width(self.model.variables[name]) or self.settings["free_width"]
                      for name in free}
            free_log_l, best = free_likelihood(rows, widths)
            log_l += free_log_l
            for name, x in best.items():
                domain = self.model.variables[name].domain
                best[name] = min(max(x, domain[0]), domain[1]) if domain else x
        for name, (a, coefficients) in forms.items():
            values[name] = a + sum(b * best.get(f, previous.values[f]) for f, b in coefficients.items())
        return State(values, slopes, dict(modes), predicted), log_l, set(forms)

    def computed(self, v, previous, slopes, F):
        """The value of a computed variable at step k from F, the sum over
        its active influences; slopes of second-order variables updated."""
        x = previous.values[v.name]
        if v.kind == "S":
            return F
        if v.kind == "I":
            return x + self.T * F
        if v.kind == "D":
            tau = v.influences[0].resptime
            a = math.exp(-self.T / tau) if tau > 0 else 0.0
            return a * x + (1 - a) * F
        first = v.influences[0]
        x, slopes[v.name] = second_order(x, previous.slopes[v.name], F, first.xi, first.w, self.T)
        return x


# --- Clauses ---------------------------------------------------------------

class Logic:
    """Satisfiability of the clauses under assumptions, by enumerating the
    truth values of the atoms the assumptions leave open."""

    def __init__(self):
        self.cache = {}

    def satisfiable(self, clauses, assumed):
        key = (tuple(clauses), frozenset(assumed.items()))
        if key not in self.cache:
            self.cache[key] = self.enumerate(clauses, assumed)
        return self.cache[key]

    @staticmethod
    def enumerate(clauses, assumed):
        open_clauses = []
        for clause in clauses:
            if any(assumed.get(atom) == positive for atom, positive in clause):
                continue
            rest = [(atom, positive) for atom, positive in clause if atom not in assumed]
            if not rest:
                return False
            open_clauses.append(rest)
        atoms = sorted({atom for clause in open_clauses for atom, _ in clause})
        for truth in itertools.product((False, True), repeat=len(atoms)):
            value = dict(zip(atoms, truth))
            if all(any(value[atom] == positive for atom, positive in clause) for clause in open_clauses):
                return True
        return False

    def entails(self, clauses, assumed, atom, positive):
        if atom in assumed:
            return assumed[atom] == positive
        return not self.satisfiable(clauses, {**assumed, atom: not positive})


def mode_atom(modes):
    """The truth of the mode atoms ("variable=value") under the modes."""
    return lambda atom: modes[atom.split("=", 1)[0]] == atom.split("=", 1)[1]


def atoms_of(modes, commands):
    return {f"{name}={value}": True for name, value in {**modes, **commands}.items()}


# --- The filter ------------------------------------------------------------

Hypothesis = namedtuple("Hypothesis", "modes log_p since history")
Candidate = namedtuple("Candidate", "p faults modes")
Step = namedtuple("Step", "candidates explained")


def log(x):
    return math.log(x) if x > 0 else -math.inf


def log_sum(terms):
    top = max(terms)
    return top if top == -math.inf else top + math.log(sum(math.exp(t - top) for t in terms))


class Filter:
    """Every reachable assignment from step to step, each successor of every
    one weighed, merged by mode values and normalised; nothing is cut."""

    def __init__(self, model, **settings):
        self.model, self.settings = model, {**SETTINGS, **settings}
        self.plant = Plant(model, self.settings) if model.step else None
        self.logic = Logic()

    # Transitions
    def literal_holds(self, atom, positive, modes, commands):
        variable, value = atom.split("=", 1)
        if variable in modes:
            return (modes[variable] == value) == positive
        if variable in self.model.exogenous:
            return variable in commands and (commands[variable] == value) == positive
        return self.logic.entails(self.model.plain_clauses, atoms_of(modes, commands), atom, positive)

    def results(self, variable, modes, commands):
        """The values the variable can take at the next step, with their
        probabilities, in the order of its results."""
        v = modes[variable.name]
        weights = {}
        for t in variable.transitions:
            truths = [self.literal_holds(atom, positive, modes, commands) for atom, positive in t.guard]
            if t.pre in (None, v) and (any(truths) if t.operator == "|" else all(truths)):
                weights[t.result] = weights.get(t.result, 0.0) + t.probability
        total = sum(weights.values())
        if total > 1:
            weights = {value: p / total for value, p in weights.items()}
        else:
            weights[v] = weights.get(v, 0.0) + 1 - total
        if "unknown" in variable.values and v != "unknown":
            u = self.settings["unknown"]
            weights = {value: p * (1 - u) for value, p in weights.items()}
            weights["unknown"] = weights.get("unknown", 0.0) + u
        return [(value, p) for value, p in weights.items() if p > 0]

    def successors(self, modes, commands):
        """(modes, prior) in decreasing prior, ties in the order of results."""
        choices = [self.results(v, modes, commands) for v in self.model.modes]
        found = [({v.name: value for v, (value, _) in zip(self.model.modes, combo)},
                  math.prod(p for _, p in combo)) for combo in itertools.product(*choices)]
        return sorted(found, key=lambda pair: -pair[1])

    # Evidence
    def consistent(self, state, undetermined, commands, observations=None):
        """L(discrete) as a truth: the clauses are satisfiable with the modes
        and the commands and, unless observations is None (the second test
        of an unexplained step), the observations and the condition atoms."""
        assumed = atoms_of(state.modes, commands)
        clauses = list(self.model.plain_clauses)
        if observations is not None:
            truth = lambda c: holds(c, mode_atom(state.modes),
                                    lambda name: None if name in undetermined else state.values[name])
            evidence = [(f"{name}={value}", True) for name, value in observations.items()]
            for v in self.model.state.values():
                if v.kind == "Cond":
                    evidence += [(atom, truth(self.model.conditions[k])) for atom, k in v.conditions]
            for atom, value in evidence:
                if value is not None and assumed.setdefault(atom, value) != value:
                    return False
            clauses += [c for k, c in self.model.clauses if k is not None and truth(self.model.conditions[k])]
        return self.logic.satisfiable(clauses, assumed)

    def free_variables(self, modes):
        unknown = {name.split(".")[0] for name, value in modes.items() if value == "unknown"}
        return frozenset(v.name for v in self.model.order if v.name.split(".")[0] in unknown)

    def weigh(self, parent, modes, k, run):
        if self.plant:
            state, log_l, undetermined = self.plant.advance(parent.history, modes, run.inputs(k),
                                                            run.measures(k), self.free_variables(modes))
        else:
            state, log_l, undetermined = State({}, {}, dict(modes), {}), 0.0, set()
        discrete = self.consistent(state, undetermined, run.commands(k), run.observations(k))
        return state, log_l if discrete else -math.inf

    def diagnose(self, run):
        """Per step, the candidates (all reachable assignments) in rank order."""
        default = self.model.default()
        state = self.plant.initial(run, default) if self.plant else State({}, {}, default, {})
        explained = self.consistent(state, set(), run.commands(0), run.observations(0))
        belief = [Hypothesis(default, 0.0, {name: 0 for name in default}, (state,))]
        steps = [self.report(belief, explained)]
        for k in range(1, run.steps):
            weighed = []
            for parent in belief:
                for modes, prior in self.successors(parent.modes, run.commands(k - 1)):
                    since = {name: parent.since[name] if parent.modes[name] == value else k
                             for name, value in modes.items()}
                    state, log_l = self.weigh(parent, modes, k, run)
                    weighed.append((parent.log_p + log(prior), log_l, since, parent.history + (state,)))
            explained = any(log_l > -math.inf for _, log_l, _, _ in weighed)
            if explained:
                weighed = [(a + b, since, history) for a, b, since, history in weighed]
            else:          # again, from the clauses, modes and commands alone
                weighed = [(a if self.consistent(history[-1], set(), run.commands(k), None) else -math.inf,
                            since, history) for a, _, since, history in weighed]
            if all(w == -math.inf for w, _, _ in weighed):
                belief = [h._replace(history=h.history + (h.history[-1],)) for h in belief]
            else:
                belief = self.merged(weighed)
            steps.append(self.report(belief, explained))
        return steps

    def merged(self, weighed):
        groups = {}
        for w, since, history in weighed:
            groups.setdefault(tuple(sorted(history[-1].modes.items())), []).append((w, since, history))
        total = log_sum([w for w, _, _ in weighed])
        belief = []
        for members in groups.values():
            best = max(members, key=lambda member: member[0])     # the first of the largest
            log_p = log_sum([w for w, _, _ in members]) - total
            if log_p > -math.inf:
                belief.append(Hypothesis(best[2][-1].modes, log_p, best[1], best[2]))
        return sorted(belief, key=lambda h: (-h.log_p, self.model.rank(h.modes)))

    def report(self, belief, explained):
        return Step([Candidate(math.exp(h.log_p), self.model.faults(h.modes, h.since), h.modes)
                     for h in belief], explained)


def diagnose(model, run, **settings):
    """Per step, the candidates and whether the step was explained."""
    return Filter(model, **settings).diagnose(run)


# --- A noise-free plant -----------------------------------------------------

def simulate(model, run, forced):
    """A measure file of the plant run with forced modes: forced holds
    (time, "instance.modevar", value), the row at time t giving the mode its
    value from step t on. Every measured variable at every step, and every
    observable whose value the clauses entail from the modes and the
    commands ("-" when they entail none)."""
    plant, logic = Plant(model, SETTINGS) if model.step else None, Logic()

    def modes_at(k):
        modes = model.default()
        for time, name, value in sorted(forced):
            if time <= k * run.step + 1e-9:
                modes[name] = value
        return modes

    names = [v.name for v in model.measured] + [v.name for v in model.observables]
    lines = ["time " + " ".join(names)]
    history = (plant.initial(run, modes_at(0)),) if plant else ()
    for k in range(run.steps):
        if plant and k > 0:
            history += (plant.advance(history, modes_at(k), run.inputs(k), {})[0],)
        state = history[-1] if plant else State({}, {}, modes_at(k), {})
        row = [f"{k * run.step:g}"] + [f"{state.values[v.name]:.6f}" for v in model.measured]
        assumed = atoms_of(state.modes, run.commands(k))
        for v in model.observables:
            seen = [value for value in v.values
                    if logic.entails(model.plain_clauses, assumed, f"{v.name}={value}", True)]
            row.append(seen[0] if seen else "-")
        lines.append(" ".join(row))
    return "\n".join(lines) + "\n"
