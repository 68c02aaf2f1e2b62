#!/usr/bin/env python3
"""Writes a synthetic application of N component instances into a directory.

    generate_model.py N DIR [--name NAME]

The application is a controller followed by a chain of links. Link i holds a
valve `valve_i`, the tank `tank_i` it feeds (importing `valve_i`), a basin
`basin_i` that collects the outflow of `tank_i` and of the previous link's
tank, and a pump `pump_i` that draws from `tank_i` and is commanded by the
pump before it (the first pump by the controller). Later instances import and
command earlier ones, so influences and commands cross instances all along
the chain, and the pumps exercise the instance ordering. The last link is cut
short when N - 1 is not a multiple of four.

DIR receives NAME.mdl (default "chain"), the definition files Valve.def and
Tank.def copied from examples/tank, the written Basin.def, Pump.def and
Controller.def, and the project directories: made by
$MORVELDIR/bin/sarnmkdirs when MORVELDIR names an installation, else by mkdir.
"""
import argparse
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bench_support import PROJECT_DIRS  # noqa: E402

EXAMPLE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples", "tank")

BASIN_DEF = """\
/* A basin collecting the outflow of two tanks: the tank of its own link and
   the tank of the link before. A condition variable tells whether it is
   nearly full. */
uses Tank;
Component "Basin"
{
  others: Tank upstream, Tank previous;
}
vardef
{
  ModeVar state(normal, clogged, unknown);
  ObsVar alarm(off, on);
  VARIABLE volume IN [0, 50];
  PARAMETER outflow = 0.2;
  MEASURE volume;
  DISPLAY volume;
  CondVar full(volume > 40, volume <= 40);
}
constraints
{
  (state = "clogged") => (alarm = "on");
  CONDITION volume > 45 => (state = "normal");
}
collect : upstream.level -I-> volume : GAIN = 0.25, DELAY = 1;
spill : previous.level -I-> volume : GAIN = 0.1, DELAY = 2;
drain : (state = "normal") outflow -I-> volume : GAIN = -1, DELAY = 1;
INIT volume = 0;
transitions
{
  clogging : { Fail (state = "normal") Next (state = "clogged") 0.001 ; }
  Idle (state = "normal") Next (state = "normal") 1.0 ;
}
"""

PUMP_DEF = """\
/* A pump drawing from a tank. It follows the command of the component
   before it in the chain and passes a command on to the next pump. */
uses Tank;
Component "Pump"
{
  cin : shared(cmdout) c- ;
  cout : CommandVar cmdout(stop, run);
  others: Tank source;
}
vardef
{
  ModeVar motor(off, on, failed, unknown);
  VARIABLE draw IN [0, 5];
  PARAMETER capacity = 1;
  MEASURE draw;
}
constraints
{
  (motor = "failed") => (cmdout = "stop");
}
suction : source.level -I-> draw : GAIN = 0.2, DELAY = 1;
rating : (motor = "on") capacity -I-> draw : GAIN = 1, DELAY = 1;
INIT draw = 0;
transitions
{
  starting : { Nominal (motor = "off") & (cmdin = "run") Next (motor = "on") 0.99 ; }
  stopping : { Nominal (motor = "on") & (cmdin = "stop") Next (motor = "off") 0.99 ; }
  Idle (motor = "off") & (cmdin = "stop") Next (motor = "off") 1.0 ;
  burning : { Fail (motor = "on") Next (motor = "failed") 0.001 ; }
}
"""

CONTROLLER_DEF = """\
/* The controller at the head of the chain: it commands the first pump. */
Component "Controller"
{
  cout : CommandVar cmdout(stop, run);
}
vardef
{
  ModeVar mode(manual, automatic, unknown);
}
constraints
{
  (mode = "manual") => (cmdout = "stop");
}
transitions
{
  Idle (mode = "automatic") Next (mode = "automatic") 1.0 ;
}
"""

TYPES = ("Controller", "Valve", "Tank", "Basin", "Pump")


def instances(count):
    """(type, variable, instance name, arguments) of the first `count` instances."""
    result = [("Controller", "control", "ctl", ["0", "0"])]
    link = 0
    commander = "control"
    while len(result) < count:
        link += 1
        valve, tank, basin = f"valve_{link}", f"tank_{link}", f"basin_{link}"
        previous = f"tank_{link - 1}" if link > 1 else tank
        link_instances = [
            ("Valve", valve, f"v{link}", ["0", "0"]),
            ("Tank", tank, f"t{link}", ["0", "0", valve]),
            ("Basin", basin, f"b{link}", ["0", "0", tank, previous]),
            ("Pump", f"pump_{link}", f"p{link}", [f"{commander}.cmdout", "0", tank]),
        ]
        commander = f"pump_{link}"
        result.extend(link_instances[: count - len(result)])
    return result[:count]


def model_text(count):
    chosen = instances(count)
    types = [name for name in TYPES if any(t == name for t, *_ in chosen)]
    lines = [f"/* A chain of {count} generated instances. */"]
    if types:
        lines.append("uses " + ", ".join(types) + ";")
    lines.append("")
    lines.extend(f"<{type_name}> {variable};" for type_name, variable, _, _ in chosen)
    lines.append("")
    lines.extend(f"{variable}({', '.join([name] + args)});" for _, variable, name, args in chosen)
    return "\n".join(lines) + "\n"


def make_project_dirs(directory):
    morveldir = os.environ.get("MORVELDIR", "")
    tool = os.path.join(morveldir, "bin", "sarnmkdirs")
    if morveldir and os.access(tool, os.X_OK):
        subprocess.run([tool, directory], check=True, stdout=subprocess.DEVNULL)
        return
    for name in PROJECT_DIRS:
        os.makedirs(os.path.join(directory, name), exist_ok=True)


def generate(count, directory, name="chain"):
    """Writes the application and returns the model file's path."""
    os.makedirs(directory, exist_ok=True)
    for definition in ("Valve.def", "Tank.def"):
        shutil.copyfile(os.path.join(EXAMPLE_DIR, definition), os.path.join(directory, definition))
    for type_name, text in (("Basin", BASIN_DEF), ("Pump", PUMP_DEF),
                            ("Controller", CONTROLLER_DEF)):
        with open(os.path.join(directory, type_name + ".def"), "w") as definition:
            definition.write(text)
    model = os.path.join(directory, name + ".mdl")
    with open(model, "w") as out:
        out.write(model_text(count))
    make_project_dirs(directory)
    return model


def main():
    parser = argparse.ArgumentParser(description="Write a synthetic chain application.")
    parser.add_argument("count", type=int, help="number of instances")
    parser.add_argument("directory", help="project directory to write")
    parser.add_argument("--name", default="chain", help="application name (default: chain)")
    options = parser.parse_args()
    if options.count < 1:
        sys.exit("the number of instances must be at least 1")
    print(generate(options.count, options.directory, options.name))


if __name__ == "__main__":
    main()
