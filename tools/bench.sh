#!/usr/bin/env bash
# Runs every benchmark of bench/ under a private Wine rig, prints each one's
# figures, then one summary table (Markdown) of every aim.
#   OSH_BENCH_BUILD  the cross build holding the benchmarks (default build/windows)
#   OSH_BENCH_RIG    the rig's folder (default build/bench-rig)
#   tools/bench.sh [ARGS]   ARGS go to startup_bench, e.g. --reps 9 or --sizes 1000,50000
#
# A benchmark adds rows to the table by printing lines "TABLE|what|figure|aim|verdict".
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
work=$(mktemp -d)
# The trap comes first: a start that fails half-way is stopped too.
trap '"$root/tools/rig.sh" stop; rm -rf "$work"' EXIT
"$root/tools/rig.sh" start >/dev/null
# shellcheck disable=SC1091
source "$OSH_RIG_DIR/rig.env"

# Timings follow the machine's load: say what it was.
load() { cut -d' ' -f1-3 /proc/loadavg; }
first_load=$(load)
status=0
for exe in "${exes[@]}"; do
    name=$(basename "$exe" .exe)
    args=()
    [ "$name" = startup_bench ] && args=("$@")
    echo "== $name   (load average before: $(load))"
    # Windows programs end their lines with CR LF.
    wine "$exe" "${args[@]}" </dev/null | tr -d '\r' | tee "$work/$name.out" | grep -v '^TABLE|' ||
        status=$?
    echo "   (load average after: $(load))"
    grep '^TABLE|' "$work/$name.out" >>"$work/table" || true
    # The type-ahead benchmark prints its medians only: its rows are made here.
    if [ "$name" = typeahead_bench ]; then
        rows=$(sed -n 's/^rows \([0-9]*\),.*/\1/p' "$work/$name.out")
        last=$(sed -n 's/^ *last *median *\([0-9.]*\) ms per key, worst *\([0-9.]*\) ms.*/\1 \2/p' "$work/$name.out")
        none=$(sed -n 's/^ *none *median *\([0-9.]*\) ms per key, worst *\([0-9.]*\) ms.*/\1 \2/p' "$work/$name.out")
        if [ -n "$last" ] && [ -n "$none" ]; then
            read -r lm lw <<<"$last"
            read -r nm nw <<<"$none"
            verdict=$(awk -v a="$lm" -v b="$nm" 'BEGIN { print (a <= 20 && b <= 20) ? "met" : "NOT met" }')
            echo "TABLE|Type-ahead, $rows rows, ms per key: last row matches; none matches (worst keys)|$lm; $nm ($lw; $nw)|<= 20|$verdict" >>"$work/table"
        fi
    fi
done

# The programs' sizes as shipped: stripped, as the distribution holds them.
for program in Orbitashell oshv; do
    if [ -f "$build/$program.exe" ]; then
        x86_64-w64-mingw32-strip --strip-all -o "$work/$program.exe" "$build/$program.exe"
        size=$(stat -c %s "$work/$program.exe")
        echo "TABLE|$program.exe, stripped|$size bytes ($((size / 1024)) KiB)|-|-" >>"$work/table"
    fi
done

echo
echo "Summary ($(nproc) cores, $(sed -n 's/^model name[^:]*: //p' /proc/cpuinfo | head -1); load average at the start: $first_load, at the end: $(load))"
echo
echo "| Measure | Figure | Aim | Verdict |"
echo "|---|---|---|---|"
[ -f "$work/table" ] && sed 's/^TABLE|/| /; s/|/ | /g; s/  */ /g; s/^ //; s/ *$/ |/' "$work/table"
exit $status
