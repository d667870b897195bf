#!/usr/bin/env bash
# Runs every test: the native core tests, the fuzzers for a few seconds each,
# then the Wine tests and the end-to-end tests inside a private rig (Xvfb, Wine
# prefix, local HTTPS server) that is stopped again whatever happens.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
status=0
ctest --preset native || status=1
ctest --preset fuzz || status=1
# One local HTTPS server port for the whole machine: parallel runs (several
# checkouts) take turns for the Wine part.
exec 9>/tmp/orbitashell-tests.lock
flock 9
tools/rig.sh start || exit 1
# A second rig whose screen is at 144 dpi, for the dpi test program alone
# (CTest points it there through OSH_RIG_DIR): the other tests keep 96 dpi.
dpi_rig="$root/build/rig144"
trap 'tools/https-server.sh stop; tools/rig.sh stop; OSH_RIG_DIR="$dpi_rig" tools/rig.sh stop' EXIT
OSH_RIG_DIR="$dpi_rig" OSH_RIG_DPI=144 tools/rig.sh start || status=1
tools/https-server.sh start || status=1
# The update tests fail, rather than skip, when the server is missing.
export OSH_REQUIRE_HTTPS=1
ctest --preset windows-test || status=1
exit $status
