#!/usr/bin/env bash
# The layers' include rule: a layer includes only itself and the layers below
# it (core <- ui <- components <- update <- dialogs <- app; viewer on ui),
# core includes nothing but the standard library, and the toolkit names no
# product. Each include is resolved as the compiler resolves it (a quoted name
# first beside the including file, then from src/), so "../app/Unit1.h"
# counts for the layer it lands in, not for the text it starts with. Prints
# each offending line; fails on any.
#   tools/check-layers.sh [checkout]     (default: the one holding this script)
set -uo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
src=$root/src
# osh/ is the build's generated folder (the version), which any layer may read.
declare -A allowed=(
    [core]="core osh"
    [ui]="core osh ui"
    [components]="core osh ui components"
    [update]="core osh ui components update"
    [dialogs]="core osh ui components update dialogs"
    [viewer]="core osh ui viewer"
    [app]="core osh ui components update dialogs app"
)
# What core may take from outside: the C++ standard library (the C headers
# also in their .h form) and the compiler's vector intrinsics.
standard=" algorithm any array atomic barrier bit bitset charconv chrono compare complex concepts
 condition_variable coroutine deque exception execution expected filesystem format forward_list
 fstream functional future initializer_list iomanip ios iosfwd iostream istream iterator latch
 limits list locale map memory memory_resource mutex new numbers numeric optional ostream print
 queue random ranges ratio regex scoped_allocator semaphore set shared_mutex source_location span
 sstream stack stdexcept stop_token streambuf string string_view syncstream system_error thread
 tuple type_traits typeindex typeinfo unordered_map unordered_set utility valarray variant vector
 version cassert cctype cerrno cfenv cfloat cinttypes climits clocale cmath csetjmp csignal
 cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype "
standard=${standard//$'\n'/ }

# Sets REPLY to the absolute path $1 with its "." and ".." taken out, as the
# file system reads it (symbolic links aside).
normalize() {
    local -a parts out=()
    local part
    IFS=/ read -ra parts <<<"$1"
    for part in "${parts[@]}"; do
        case $part in
        '' | .) ;;
        ..) ((${#out[@]})) && unset 'out[-1]' ;;
        *) out+=("$part") ;;
        esac
    done
    local IFS=/
    REPLY="/${out[*]}"
}

directive='^[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*(["<])([^">]+)[">]'
status=0
fail() {
    echo "$1"
    status=1
}

while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    where="${file#"$root"/}:${rest%%:*}"
    [[ $rest =~ $directive ]] || continue
    quote=${BASH_REMATCH[1]} name=${BASH_REMATCH[2]}
    relative=${file#"$src"/}
    layer=${relative%%/*}
    if [[ $relative != */* || -z ${allowed[$layer]+set} ]]; then
        fail "$where: ${file#"$root"/} lies in no layer"
        continue
    fi
    target=""
    if [[ $quote == '"' && -f ${file%/*}/$name ]]; then
        normalize "${file%/*}/$name"
        target=$REPLY
    elif [[ -f $src/$name ]]; then
        normalize "$src/$name"
        target=$REPLY
    fi
    if [[ -z $target ]]; then
        # Not in the sources: the generated folder or a header of the system.
        if [[ $name == osh/* ]]; then
            continue
        elif [[ $layer == core && $standard != *" $name "* && $standard != *" c${name%.h} "* &&
            $name != *intrin.h ]]; then
            fail "$where: core may include only the standard library, not <$name>"
        fi
        continue
    fi
    if [[ $target != "$src"/*/* ]]; then
        fail "$where: $layer may not include ${target#"$root"/}, outside the layers"
        continue
    fi
    to=${target#"$src"/}
    to=${to%%/*}
    if [[ " ${allowed[$layer]} " != *" $to "* ]]; then
        fail "$where: layer $layer may not include $to (${target#"$root"/})"
    fi
done < <(grep -rHnE '^\s*#\s*include' "$src" 2>/dev/null)

# The toolkit serves any program: no product's name in it.
if grep -rHniE 'orbitashell|oshv' "$src/ui" 2>/dev/null; then
    fail "the toolkit names the product"
fi
[ $status = 0 ] && echo "layers: every include runs down"
exit $status
