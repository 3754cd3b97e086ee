#!/bin/bash
# Makes the committed icons/<size>/org.velkrin.Velkrin.png from the SVG; run
# it after changing org.velkrin.Velkrin.svg (needs rsvg-convert, Debian
# package librsvg2-bin). The 32 x 32 icon is velkrin.png itself.
set -euo pipefail
cd "$(dirname "$0")"
for size in 48 64 128 256; do
    mkdir -p "icons/${size}x${size}"
    rsvg-convert -w "$size" -h "$size" org.velkrin.Velkrin.svg -o "icons/${size}x${size}/org.velkrin.Velkrin.png"
done
