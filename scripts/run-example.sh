#!/usr/bin/env bash
# Sets everything up, then runs morvel sessions on the bundled examples, each
# in its project directory inside the installation tree, and diagnoses their
# runs: the heater example is loaded, printed, compiled, then executed on a
# nominal and on a faulty run (its element burns out); two heaters burn out
# one after the other; the tank example is loaded, printed, compiled, drawn
# and executed on a valve stuck closed and on a leak; the lamp sees its bulb
# go dark; the pipeline example is compiled with prime implicants, through a
# copy of the installation whose option file sets prime_implicants (an option
# file in your home directory would take precedence).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

examples=$PWD/examples
export MORVELDIR=$PWD/build/morveldir
(cd "$MORVELDIR/appli/heater" && "$MORVELDIR/bin/linux/morvel" < "$examples/heater-session.txt")
(cd "$MORVELDIR/appli/heater" && "$MORVELDIR/bin/linux/morvel" < "$examples/pair-session.txt")
(cd "$MORVELDIR/appli/tank" && "$MORVELDIR/bin/linux/morvel" < "$examples/tank-session.txt")
(cd "$MORVELDIR/appli/lamp" && "$MORVELDIR/bin/linux/morvel" < "$examples/lamp-session.txt")

implicants=$PWD/build/morveldir-pi
rm -rf "$implicants"
cp -r "$MORVELDIR" "$implicants"
echo "prime_implicants 1" > "$implicants/.mrvconf"
export MORVELDIR=$implicants
rm -f "$MORVELDIR/appli/pipeline/pipeline.pi"
(cd "$MORVELDIR/appli/pipeline" && "$MORVELDIR/bin/linux/morvel" new < "$examples/pipeline-session.txt")
