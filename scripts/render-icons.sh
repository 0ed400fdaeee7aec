#!/usr/bin/env bash
# Renders the program's icon, resources/tavorin.svg, into the PNG sizes that the window and the
# desktop menus use (resources/tavorin-SIZE.png). The renders are kept in the tree so that
# building the program needs no SVG renderer; run this again after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/.."
for size in 16 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" resources/tavorin.svg --output "resources/tavorin-$size.png"
done
