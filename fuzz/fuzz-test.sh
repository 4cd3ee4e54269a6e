#!/usr/bin/env bash
# Runs one libFuzzer target as a test: from its seed corpus and a fresh scratch corpus for what it
# finds, for PALVO_FUZZ_SECONDS seconds (read as the test runs; 60 unless set). Fails when the
# fuzzer finds a fault, and keeps the input that shows it in the folder given, saying its name.
# Usage: fuzz-test.sh FUZZER SEED_CORPUS FAULT_FOLDER
set -euo pipefail
fuzzer=$1 seeds=$2 faults=$3
name=$(basename "$fuzzer")
seconds=${PALVO_FUZZ_SECONDS:-60}
[[ $seconds =~ ^[1-9][0-9]*$ ]] || { echo "PALVO_FUZZ_SECONDS must be a number of seconds, not \"$seconds\""; exit 1; }
[ -d "$seeds" ] || { echo "no seed corpus $seeds"; exit 1; }

corpus=$(mktemp -d)
log=$(mktemp)
trap 'rm -rf "$corpus" "$log"' EXIT
mkdir -p "$faults"
echo "Fuzzing $name for $seconds seconds"
# New inputs go into the first folder only: the seed corpus stays as it is in the source tree.
if ! "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$faults/" \
    "$corpus" "$seeds" >"$log" 2>&1; then
  tail -n 40 "$log"
  input=$(sed -n 's/.*Test unit written to //p' "$log")
  echo "The fuzzer $name found a fault; the input that shows it is saved as ${input:-a file in $faults/}"
  exit 1
fi
grep -E '^stat::number_of_executed_units' "$log"
