#!/usr/bin/env bash
# Renders the example figure (examples/figure.sh) with librsvg and with headless Chromium,
# both at 192 dpi, and checks the pixels of both (check_rendering.py). Needs xmllint,
# rsvg-convert, chromium and python3. Argument: the build folder.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?usage: check_rendering.sh BUILD_DIR}" && pwd)"
tmp=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$tmp"' EXIT

"$here/../examples/figure.sh" "$build" "$tmp/figure.svg"
xmllint --noout "$tmp/figure.svg"
# The figure's size in CSS pixels (96 per inch), from its width and height in mm.
size() { sed -n "s/^<svg .* $1=\"\([0-9.]*\)mm\".*/\1/p" "$tmp/figure.svg"; }
css_px() { awk -v mm="$1" 'BEGIN { printf "%d", int(mm / 25.4 * 96 + 0.999) }'; }
width=$(css_px "$(size width)")
height=$(css_px "$(size height)")

rsvg-convert -b white -w $((2 * width)) -o "$tmp/rsvg.png" "$tmp/figure.svg"
# Chromium complains on standard error that it finds no D-Bus; only its status counts.
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
  --disable-background-networking --disable-component-update --disable-sync --no-first-run \
  --user-data-dir="$tmp/chromium-profile" --force-device-scale-factor=2 \
  --window-size=$((width + 16)),$((height + 16)) --screenshot="$tmp/chromium.png" \
  "file://$tmp/figure.svg" >"$tmp/chromium.log" 2>&1 || { cat "$tmp/chromium.log"; exit 1; }
python3 "$here/check_rendering.py" "$tmp/figure.svg" "$tmp/rsvg.png" "$tmp/chromium.png"
