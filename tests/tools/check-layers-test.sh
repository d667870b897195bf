#!/usr/bin/env bash
# tools/check-layers.sh on a small tree of its own: each case plants one file,
# runs the check, and expects it to refuse (naming the planted line) or pass.
set -uo pipefail
check=$(cd "$(dirname "$0")/../.." && pwd)/tools/check-layers.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
for header in core/Utf8.h ui/Form.h app/Unit1.h dialogs/TextDialog.h ../tests/win/Support.h; do
    mkdir -p "$(dirname "$tree/src/$header")"
    touch "$tree/src/$header"
done
failures=0

# expect refuse|pass <file under src> <its text>
expect() {
    local verdict=$1 file=$2 text=$3 output status
    mkdir -p "$(dirname "$tree/src/$file")"
    printf '%s\n' "$text" >"$tree/src/$file"
    output=$("$check" "$tree" 2>&1)
    status=$?
    rm -f "$tree/src/$file"
    if [[ $verdict == refuse && ($status == 0 || $output != *"src/$file:"*) ]] ||
        [[ $verdict == pass && $status != 0 ]]; then
        echo "FAILED: expected $verdict for src/$file: $text"
        echo "$output"
        failures=$((failures + 1))
    fi
}

# Upward or out of the sources, however the path is spelt; core beyond the
# standard library.
expect refuse ui/Planted.cpp '#include "../app/Unit1.h"'
expect refuse components/Planted.h '#  include <app/Unit1.h>'
expect refuse viewer/Planted.cpp '#include "../../src/dialogs/TextDialog.h"'
expect refuse app/Planted.cpp '#include "../../tests/win/Support.h"'
expect refuse extra/Planted.cpp '#include "core/Utf8.h"'
expect refuse core/Planted.cpp '#include <io.h>'
# Downward or beside, however spelt.
expect pass ui/Planted.cpp '#include "../core/Utf8.h"
#include "Form.h"
#include "app/../core/Utf8.h"
#include <windows.h>'
expect pass core/Planted.cpp '#include "osh/Version.h"
#include <string.h>
#include <emmintrin.h>'

[ $failures = 0 ] && echo "check-layers: every planted case judged as expected"
exit $((failures > 0))
