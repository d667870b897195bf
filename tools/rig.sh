#!/usr/bin/env bash
# Starts or stops what the Wine tests need: a throwaway prefix under build/,
# a private Xvfb display and one wineserver kept alive for the whole run.
#   tools/rig.sh start   writes build/rig.env (DISPLAY, WINEPREFIX, WINEDEBUG)
#   tools/rig.sh stop    ends the wineserver and Xvfb it started
# OSH_RIG_DIR puts a second rig beside the first; OSH_RIG_DPI sets its screen's dpi.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${OSH_RIG_DIR:-$root/build}"
envfile="$build/rig.env"
mkdir -p "$build"

start() {
    if [ -f "$envfile" ]; then stop; fi
    export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # A free display: neither a lock file nor a socket exists for it.
    local display=""
    for n in $(seq 90 190); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
    done
    [ -n "$display" ] || { echo "rig: no free X display" >&2; exit 1; }
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    local xpid=$!
    for _ in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X$display" ] && break
        sleep 0.1
    done
    [ -e "/tmp/.X11-unix/X$display" ] || { echo "rig: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$display"
    {
        echo "export WINEPREFIX='$WINEPREFIX'"
        echo "export WINEDEBUG=-all"
        echo "export WINEDLLOVERRIDES='mscoree,mshtml='"
        echo "export DISPLAY=':$display'"
        echo "OSH_XVFB_PID=$xpid"
    } > "$envfile"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i </dev/null >/dev/null 2>&1 || true
        # Let the server that wineboot started end, so that ours is persistent.
        wineserver -w </dev/null >/dev/null 2>&1 || true
    fi
    # Wine does not find its own fonts here: without them MS Sans Serif and
    # Tahoma fall back to the host's Liberation Sans, whose drawn glyphs run
    # wider than the advances Wine reports for them (at 11 pixels, "w" draws 10
    # wide and measures 8), so every auto-sized label came out clipped.
    if [ -d /usr/share/wine/fonts ]; then
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon \
            "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
    # Each run starts with an empty Internet cache, as a new prefix (and CI) has:
    # the update tests plant and leave entries for the same addresses, and
    # Wine's cache may keep a copy for an address that already has many.
    rm -rf "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Microsoft/Windows/INetCache"
    # Detached, or the first pipeline that starts Wine never sees its output end.
    # wineboot may have left a server running; then that one is kept alive.
    wineserver -p </dev/null >/dev/null 2>&1 || true
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    # Without a window manager, Wine waits 2 s for every managed window it
    # hides; unmanaged windows go at once.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        </dev/null >/dev/null 2>&1 || true
    # Links the tests click open in nothing: no browser or mail program of
    # the machine is started, and no page is fetched.
    wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d true /f \
        </dev/null >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\WineBrowser' /v Mailers /t REG_SZ /d true /f \
        </dev/null >/dev/null 2>&1 || true
    # Wine reads the dpi when its server starts: set it, then start again.
    local dpi="${OSH_RIG_DPI:-96}"
    local hex
    hex=$(printf 'dword:%08x' "$dpi")
    if [ -n "${OSH_RIG_DPI:-}" ] && ! grep -A20 '^\[Control Panel\\\\Desktop\]' "$WINEPREFIX/user.reg" 2>/dev/null \
            | grep -q "\"LogPixels\"=$hex"; then
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
            </dev/null >/dev/null 2>&1 || true
        wineserver -k </dev/null >/dev/null 2>&1 || true
        wineserver -w </dev/null >/dev/null 2>&1 || true
        wineserver -p </dev/null >/dev/null 2>&1 || true
        wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    fi
    echo "rig: Wine prefix $WINEPREFIX on display :$display at $dpi dpi"
}

stop() {
    [ -f "$envfile" ] || return 0
    # shellcheck disable=SC1090
    source "$envfile"
    wineserver -k </dev/null >/dev/null 2>&1 || true
    [ -n "${OSH_XVFB_PID:-}" ] && kill "$OSH_XVFB_PID" 2>/dev/null || true
    rm -f "$envfile"
}

case "${1:-}" in
    start) start ;;
    stop) stop ;;
    *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
