#!/usr/bin/env bash
# Sets everything up, then runs a morvel session on the bundled tank example,
# in its project directory inside the installation tree.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

export MORVELDIR=$PWD/build/morveldir
session=$PWD/examples/tank-session.txt
cd "$MORVELDIR/appli/tank"
"$MORVELDIR/bin/linux/morvel" < "$session"
