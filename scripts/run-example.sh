#!/usr/bin/env bash
# Sets everything up, then runs a morvel session on the bundled example.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

export MORVELDIR=$PWD/build/morveldir
"$MORVELDIR/bin/linux/morvel" < examples/first-session.txt
