#!/usr/bin/env bash
# Renews the icon's PNG sizes from packaging/icons/quorvex.svg. The PNGs are
# kept in the repository so building needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing librsvg2-bin

for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" packaging/icons/quorvex.svg -o "packaging/icons/quorvex-$size.png"
done
echo "Rendered packaging/icons/quorvex-{16..256}.png"
