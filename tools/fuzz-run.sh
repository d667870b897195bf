#!/usr/bin/env bash
# Runs one fuzz target for OSH_FUZZ_SECONDS (3 by default) on its working corpus,
# seeded from the repository's corpus fuzz/corpus/<target without "fuzz_">.
#   tools/fuzz-run.sh <fuzzer> <working corpus> [libFuzzer options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fuzzer=$1 work=$2
shift 2
seeds="$root/fuzz/corpus/$(basename "$fuzzer" | sed 's/^fuzz_//')"
mkdir -p "$work"
args=("$work")
[ -d "$seeds" ] && args+=("$seeds")
exec "$fuzzer" -max_total_time="${OSH_FUZZ_SECONDS:-3}" -print_final_stats=0 "$@" "${args[@]}"
