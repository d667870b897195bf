#!/usr/bin/env bash
# Starts Orbitashell from the distribution folder under Wine, in a virtual desktop
# so that it has a title bar. Without a display: a private Xvfb, a screenshot in
# build/screenshot.png, then the program is ended.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist="$root/build/dist/Orbitashell"
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cd "$dist"
if [ -n "${DISPLAY:-}" ]; then
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i </dev/null >/dev/null 2>&1
    exec wine explorer /desktop=Orbitashell,1024x768 Orbitashell.exe
fi
"$root/tools/rig.sh" start
trap '"$root/tools/rig.sh" stop' EXIT
# shellcheck disable=SC1091
source "$root/build/rig.env"
# Xvfb's pointer starts mid-screen, over the window: the shot would catch a tooltip.
command -v xdotool >/dev/null && xdotool mousemove 1020 760 2>/dev/null || true
wine explorer /desktop=Orbitashell,800x600 Orbitashell.exe </dev/null >/dev/null 2>&1 &
shot="$root/build/screenshot.png"
for _ in $(seq 1 60); do
    sleep 0.5
    xwininfo -root -tree 2>/dev/null | grep -q '"Orbitashell v ' && break
done
sleep "${OSH_SHOT_DELAY:-2}"
import -window root "$shot"
echo "Screenshot of the main window saved to $shot"
