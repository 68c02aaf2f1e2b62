#!/usr/bin/env bash
# Installs the Debian packages morvel needs when they are missing, then
# configures and builds the program and its installation tree build/morveldir.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make flex bison libreadline-dev libncurses-dev googletest libgtest-dev
          graphviz gv gnuplot-nox tcsh libcadical-dev
          clang libclang-rt-dev  # the fuzz targets (scripts/fuzz.sh)
          valgrind)  # instructions per diagnosis step (bench/step_instructions.py)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
command -v python3 >/dev/null || missing+=(python3)

if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2
