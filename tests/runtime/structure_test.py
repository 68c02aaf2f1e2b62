#!/usr/bin/env python3
"""What a generated runtime holds, as it describes itself (--model), against
what the workbench compiled: every clause with the signs of its literals,
and the commands each component issues and receives; a model whose uses list
names a type without instance builds.

Usage: structure_test.py SOURCE_DIR MORVELDIR
"""
import sys

from runtime_support import check, finish, Installation, example_files, runtime_clauses, workbench_clauses

def built(installation, source_dir, example, names, execute):
    project = installation.project(example, example_files(source_dir, example, *names))
    out, err, _ = installation.session(project, f"load {example}.mdl\ncompile 1\n{execute}\n")
    description, err_model, status = installation.run(project, example, "--model")
    check(status == 0, f"{example} --model: {status}\n{out[-1500:]}{err}{err_model}")
    return out, description


def main():
    source_dir, installation_dir = sys.argv[1:]
    with Installation(installation_dir) as installation:
        out, description = built(installation, source_dir, "tank",
                                 ["Valve.def", "Tank.def", "tank.mdl"], "execute none.mes")
        compiled = workbench_clauses(out)
        held = runtime_clauses(description)
        check(len(compiled) == 20 and held == compiled,
              f"the runtime's clauses are the compiled ones\nmissing {compiled - held}\n"
              f"unexpected {held - compiled}")
        check(frozenset({"!valve.pos=opened", "valve.flowing=yes"}) in held,
              "the valve's constraint as a clause")

        out, description = built(installation, source_dir, "lamp",
                                 ["Switch.def", "Bulb.def", "lamp.mdl"], "execute")
        check(runtime_clauses(description) == workbench_clauses(out), "the lamp's clauses")
        lines = description.splitlines()
        wall = lines.index("component wall (type Switch, instance switch1)")
        bulb = lines.index("component bulb (type Bulb, instance bulb1)")
        check(lines[wall + 1:wall + 3] == ["  commands in: none", "  commands out: wall.cmdout"],
              "the switch issues its output command\n" + description)
        check(lines[bulb + 1:bulb + 3] == ["  commands in: wall.cmdout", "  commands out: none"],
              "the bulb is powered by the switch's output command\n" + description)
        check("  Command wall.push = down; values down up; exogenous" in lines,
              "the push is the switch's exogenous input")
        # A type of the uses list without instance: the runtime still builds.
        files = example_files(source_dir, "heater", "Heater.def", "Probe.def", "nominal.in", "nominal.mes")
        files["alone.mdl"] = "uses Heater, Probe;\n<Heater> heater;\nheater(heater1, 0, 0);\n"
        files["nominal.mes"] = "".join(" ".join(line.split()[:2]) + "\n"
                                       for line in files["nominal.mes"].splitlines()
                                       if line.strip() and not line.startswith("#"))
        alone = installation.project("alone", files)
        out, err, _ = installation.session(alone, "load alone.mdl\ncompile 1\n"
                                           "execute nominal.in nominal.mes\n")
        check("Summary: 31 steps, 31 measures compared, none out of range." in out,
              f"a model that uses a type without instance runs\n{out[-1500:]}{err}")
    return finish()


if __name__ == "__main__":
    sys.exit(main())
