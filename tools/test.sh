#!/usr/bin/env bash
# Runs every test: the native core tests, the fuzzers for a few seconds each,
# then the Wine tests and the end-to-end tests. Those start and stop their
# own rig (Xvfb, Wine prefixes at 96 and 144 dpi, local HTTPS server) as a
# CTest fixture, under the machine's test lock (tools/test-rig.sh), and build
# the release archive they test (cmake/build-release.cmake).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
status=0
ctest --preset native || status=1
ctest --preset fuzz || status=1
ctest --preset windows-test || status=1
exit $status
