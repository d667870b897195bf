#!/usr/bin/env bash
# The layers' include rule: a layer includes only itself and the layers below
# it (core <- ui <- components <- update <- dialogs <- app; viewer on ui), and
# core includes no Windows header, and the toolkit names no product. Prints
# each offending line; fails on any.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
declare -A allowed=(
    [core]="core osh"
    [ui]="core osh ui"
    [components]="core osh ui components"
    [update]="core osh ui components update"
    [dialogs]="core osh ui components update dialogs"
    [viewer]="core osh ui viewer"
    [app]="core osh ui components update dialogs app"
)
status=0
for layer in "${!allowed[@]}"; do
    dir="$root/src/$layer"
    [ -d "$dir" ] || continue
    while IFS= read -r hit; do
        target=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$hit")
        if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
            echo "layer $layer may not include $target: ${hit#"$root"/}"
            status=1
        fi
    done < <(grep -HnE '^\s*#\s*include "[a-z]+/' "$dir"/*.h "$dir"/*.cpp 2>/dev/null)
done
if grep -HnE '^\s*#\s*include <(windows|win[a-z0-9]*|commctrl|shellapi|ole[a-z0-9]*)\.h>' \
    "$root"/src/core/* 2>/dev/null; then
    echo "core includes a Windows header"
    status=1
fi
# The toolkit serves any program: no product's name in it.
if grep -HniE 'orbitashell|oshv' "$root"/src/ui/* 2>/dev/null; then
    echo "the toolkit names the product"
    status=1
fi
[ $status = 0 ] && echo "layers: every include runs down"
exit $status
