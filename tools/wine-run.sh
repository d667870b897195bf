#!/usr/bin/env bash
# CTest's emulator for the cross build: runs a Windows test program in the rig's prefix.
root=$(cd "$(dirname "$0")/.." && pwd)
envfile="${OSH_RIG_DIR:-$root/build}/rig.env"
if [ ! -f "$envfile" ]; then
    echo "wine-run: no test rig running (start it with tools/rig.sh start)" >&2
    exit 2
fi
# shellcheck disable=SC1090
source "$envfile"
# Wine's traces of a test (WINEDEBUG set in its environment) go to the file it
# names, where it can read them back; the programs it starts write there too.
if [ -n "${OSH_WINE_STDERR:-}" ]; then exec 2>"$OSH_WINE_STDERR"; fi
wine "$@"
status=$?
# CTest judges a test program by its output: a program that printed its
# closing line and then crashed must still fail, so the code is said.
[ "$status" = 0 ] || echo "wine-run: exit code $status"
exit "$status"
