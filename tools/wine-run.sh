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
exec wine "$@"
