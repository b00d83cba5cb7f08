#!/usr/bin/env bash
# Renders the program's icon into the PNG sizes of the freedesktop icon theme (Debian librsvg2-bin).
# The PNGs are kept in the repository, so building needs no SVG renderer; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/../app/resources/icons"
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" quittung.svg --output "hicolor/${size}x${size}/apps/quittung.png"
done
