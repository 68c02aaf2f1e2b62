#!/usr/bin/env bash
# Builds the parser fuzz targets (clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs them for a given time:
#
#   scripts/fuzz.sh [-j JOBS] [SECONDS] [TARGET...]
#
# TARGET is declaration_pass, behaviour_pass, continuous_file or model_file
# (default: all four); SECONDS is the time of each target (default 600);
# JOBS targets run at once (default 1: one after the other). The build goes
# to build-fuzz (or $MORVEL_FUZZ_BUILD). Each target keeps its growing corpus in
# BUILD/fuzz/TARGET/corpus, its log in BUILD/fuzz/TARGET/fuzz.log, and the
# inputs that crashed or hung in BUILD/fuzz/TARGET/findings/. Replay one with
#   BUILD/tests/fuzz/fuzz_TARGET FILE
# Inputs run in the fuzzing process, up to 64 KB each. What a load builds is
# never released (the program loads once in its life), so the fuzzing runs in
# libFuzzer's fork mode: a child process fuzzes in process for a while and is
# replaced by a fresh one, which bounds the memory; a child that runs out of
# memory is replaced too. The summary line of a target gives its inputs per
# second and its final coverage (cov: code edges reached, ft: features).
# The exit status is 1 when a target left a finding.
set -uo pipefail
cd "$(dirname "$0")/.."

build=$(realpath -m "${MORVEL_FUZZ_BUILD:-build-fuzz}")
jobs=1
if [ "${1:-}" = -j ]; then
  jobs=$2
  shift 2
fi
seconds=${1:-600}
shift $(($# > 0 ? 1 : 0))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(declaration_pass behaviour_pass continuous_file model_file)

# The language a target reads: its seed corpora and dictionary. Both forms
# of a definition file seed every target that reads definition files.
language_of() {
  case $1 in
    declaration_pass | behaviour_pass | continuous_file) echo definition ;;
    model_file) echo model ;;
    *) return 1 ;;
  esac
}
seeds_of() {
  case $1 in
    definition) echo tests/fuzz/corpus/definition tests/fuzz/corpus/continuous ;;
    model) echo tests/fuzz/corpus/model ;;
  esac
}
for target in "${targets[@]}"; do
  language_of "$target" >/dev/null || { echo "Unknown fuzz target: $target" >&2; exit 2; }
done

command -v clang++ >/dev/null || { echo "clang++ is needed (scripts/setup.sh installs it)" >&2; exit 2; }
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORVEL_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null || exit 2
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}" || exit 2

run() {
  local target=$1 language dir
  language=$(language_of "$target")
  dir=$build/fuzz/$target
  mkdir -p "$dir/corpus" "$dir/findings" "$dir/tmp"
  # Each input runs in the working directory the target makes under TMPDIR;
  # the paths given to the fuzzer are absolute, as it may crash while an
  # input is running there.
  local seeds=()
  for seed in $(seeds_of "$language"); do seeds+=("$PWD/$seed"); done
  TMPDIR=$dir/tmp "$build/tests/fuzz/fuzz_$target" "$dir/corpus" "${seeds[@]}" \
    -dict="$PWD/tests/fuzz/$language.dict" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -close_fd_mask=3 -fork=1 -ignore_ooms=1 -artifact_prefix="$dir/findings/" >"$dir/fuzz.log" 2>&1
  local last runs speed
  last=$(grep -E '^#[0-9]+: cov: ' "$dir/fuzz.log" | tail -n 1)
  runs=$(echo "$last" | grep -Eo '^#[0-9]+' | tr -d '#')
  speed=$([ -n "$runs" ] && echo $((runs / seconds)))
  echo "$target: ${runs:-?} inputs, ${speed:-?}/s, $(echo "$last" | grep -Eo 'cov: [0-9]+ ft: [0-9]+')," \
    "$(find "$dir/findings" -type f | wc -l) findings (log: $dir/fuzz.log)"
}

echo "Fuzzing ${targets[*]} for ${seconds}s each, $jobs at a time"
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
    wait -n
  done
  run "$target" &
done
wait

for target in "${targets[@]}"; do
  [ -z "$(ls -A "$build/fuzz/$target/findings")" ] || exit 1
done
exit 0
