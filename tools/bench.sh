#!/usr/bin/env bash
# Runs every benchmark of bench/ under a private Wine rig and prints its figures.
#   OSH_BENCH_BUILD  the cross build holding the benchmarks (default build/windows)
#   OSH_BENCH_RIG    the rig's folder (default build/bench-rig)
#   OSH_BENCH_ARGS   arguments for every benchmark, e.g. "--reps 9" (also: tools/bench.sh --reps 9)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${OSH_BENCH_BUILD:-$root/build/windows}"

exes=()
for src in "$root"/bench/*.cpp; do
    [ -e "$src" ] || continue
    exe="$build/$(basename "$src" .cpp).exe"
    [ -f "$exe" ] || { echo "bench: $exe not built (make windows)" >&2; exit 1; }
    exes+=("$exe")
done
[ ${#exes[@]} -gt 0 ] || { echo "bench: nothing under bench/" >&2; exit 1; }

export OSH_RIG_DIR="${OSH_BENCH_RIG:-$root/build/bench-rig}"
# The trap comes first: a start that fails half-way is stopped too.
trap '"$root/tools/rig.sh" stop' EXIT
"$root/tools/rig.sh" start >/dev/null
# shellcheck disable=SC1091
source "$OSH_RIG_DIR/rig.env"

# Timings follow the machine's load: say what it was.
load() { cut -d' ' -f1-3 /proc/loadavg; }
status=0
for exe in "${exes[@]}"; do
    echo "== $(basename "$exe" .exe)   (load average before: $(load))"
    # shellcheck disable=SC2086
    wine "$exe" ${OSH_BENCH_ARGS:-} "$@" </dev/null || status=$?
    echo "   (load average after: $(load))"
done
exit $status
