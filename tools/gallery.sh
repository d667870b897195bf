#!/usr/bin/env bash
# Draws the gallery of the display controls and list rows with the program's
# own code, under a private Wine rig, into build/gallery.png.
#   OSH_GALLERY_BUILD  the cross build holding gallery.exe (default build/windows)
#   OSH_GALLERY_PNG    where the picture goes (default build/gallery.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${OSH_GALLERY_BUILD:-$root/build/windows}"
png="${OSH_GALLERY_PNG:-$root/build/gallery.png}"
exe="$build/gallery.exe"
[ -f "$exe" ] || { echo "gallery: $exe not built (make windows)" >&2; exit 1; }

export OSH_RIG_DIR="${OSH_GALLERY_RIG:-$root/build/gallery-rig}"
"$root/tools/rig.sh" start >/dev/null
trap '"$root/tools/rig.sh" stop' EXIT
# shellcheck disable=SC1091
source "$OSH_RIG_DIR/rig.env"

mkdir -p "$(dirname "$png")"
bmp="$(cd "$(dirname "$png")" && pwd)/$(basename "$png" .png).bmp"
rm -f "$bmp"
# Wine's Z: drive is the Unix root.
wine "$exe" "Z:${bmp//\//\\}" </dev/null >/dev/null 2>&1
[ -s "$bmp" ] || { echo "gallery: no picture was drawn" >&2; exit 1; }
/usr/bin/convert "$bmp" "$png"
rm -f "$bmp"
echo "Gallery: $png"
