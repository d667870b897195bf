#!/usr/bin/env bash
# Runs every test: the native core tests and fuzzers, then the Wine tests and the
# end-to-end tests inside a private rig that is stopped again whatever happens.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
status=0
ctest --preset native || status=1
tools/rig.sh start || exit 1
trap 'tools/rig.sh stop' EXIT
[ -x tools/https-server.sh ] && { tools/https-server.sh start || status=1; }
ctest --preset windows-test || status=1
[ -x tools/https-server.sh ] && tools/https-server.sh stop
exit $status
