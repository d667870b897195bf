#!/usr/bin/env bash
# What the Wine tests run in, as CTest's fixture (setup and cleanup tests):
#   tools/test-rig.sh start   takes the machine's test lock, starts the rig
#                             (Xvfb, prefix, wineserver), the 144-dpi rig beside
#                             it and the local HTTPS server
#   tools/test-rig.sh stop    stops them all and gives the lock back
# The HTTPS server's port is one for the whole machine, so checkouts take
# turns through /tmp/orbitashell-tests.lock; a run already under that lock
# (flock ... ctest, tools/test.sh) keeps it and is not made to wait for itself.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
lock="${OSH_TESTS_LOCK:-/tmp/orbitashell-tests.lock}"
holder="$build/test-lock.pid"
dpi_rig="$build/rig144"

# True when a process this one descends from holds the lock.
ancestor_holds_lock() {
    local inode pids p h
    inode=$(stat -c %i "$lock" 2>/dev/null) || return 1
    # /proc/locks: "1: FLOCK ADVISORY WRITE <pid> <maj>:<min>:<inode> 0 EOF";
    # waiters' lines carry "->" and so another field count.
    pids=$(awk -v inode="$inode" '$2 == "FLOCK" { n = split($6, f, ":"); if (f[n] == inode) print $5 }' /proc/locks)
    [ -n "$pids" ] || return 1
    p=$$
    while [ -n "$p" ] && [ "$p" -gt 1 ]; do
        for h in $pids; do [ "$h" = "$p" ] && return 0; done
        p=$(awk '/^PPid:/ { print $2 }' "/proc/$p/status" 2>/dev/null)
    done
    return 1
}

take_lock() {
    ancestor_holds_lock && return 0
    exec 9>>"$lock"
    echo "test-rig: waiting for $lock" >&2
    flock 9
    # The lock lives as long as a process keeps the descriptor open: a
    # detached one holds it past this script, until stop or until the run
    # that started it (CTest) ends, so that a run cut short frees it too.
    local run=$PPID
    (while kill -0 "$run" 2>/dev/null; do sleep 2; done) </dev/null >/dev/null 2>&1 &
    echo $! >"$holder"
    exec 9>&-
}

give_lock() {
    [ -f "$holder" ] || return 0
    kill "$(cat "$holder")" 2>/dev/null
    rm -f "$holder"
}

start() {
    mkdir -p "$build"
    take_lock
    # Leftovers of a run that was cut short.
    "$root/tools/https-server.sh" stop >/dev/null 2>&1
    "$root/tools/rig.sh" start || return 1
    OSH_RIG_DIR="$dpi_rig" OSH_RIG_DPI=144 "$root/tools/rig.sh" start || return 1
    "$root/tools/https-server.sh" start || return 1
}

stop() {
    local status=0
    [ -f "$build/rig.env" ] && { "$root/tools/https-server.sh" stop || status=1; }
    "$root/tools/rig.sh" stop || status=1
    OSH_RIG_DIR="$dpi_rig" "$root/tools/rig.sh" stop || status=1
    give_lock
    return $status
}

case "${1:-}" in
    start)
        start || { echo "test-rig: the rig did not start" >&2; stop; exit 1; }
        ;;
    stop) stop ;;
    *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
