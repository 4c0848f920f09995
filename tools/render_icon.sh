#!/usr/bin/env bash
# Renders the program's icon, its scalable drawing in dist/icons/hicolor, into the
# PNG sizes of the hicolor theme (installed, and shown as the window icon).
# Run after changing the drawing, look at the results, commit them.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install_missing.sh librsvg2-bin
svg=dist/icons/hicolor/scalable/apps/org.ottavario.Ottavario.svg
for size in 16 22 24 32 48 64 128 256; do
    dir=dist/icons/hicolor/${size}x${size}/apps
    mkdir -p "$dir"
    rsvg-convert --width "$size" --height "$size" "$svg" -o "$dir/org.ottavario.Ottavario.png"
done
