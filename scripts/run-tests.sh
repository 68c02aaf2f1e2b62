#!/usr/bin/env bash
# Sets everything up, then runs every test: unit tests and end-to-end sessions.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cd build
ctest --output-on-failure -j2
