#!/usr/bin/env bash
# Renders the example figure (examples/figure.sh) and a figure with a long title and long
# labels with librsvg and with headless Chromium, both at 192 dpi, and checks the pixels of
# all four (check_rendering.py). Needs xmllint, rsvg-convert, chromium and python3.
# Argument: the build folder.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?usage: check_rendering.sh BUILD_DIR}" && pwd)"
tmp=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$tmp"' EXIT

# The README's figure, and one that has to wrap a long title and long labels, of three
# inputs (SelwickBR counting only class 2 as true, so that its curves differ from BEB's).
"$here/../examples/figure.sh" "$build" "$tmp/example.svg"
examples="$here/../examples"
"$build/siteplot/siteplot" -o "$tmp/long.svg" \
  -t "A long title that has to wrap: the naive-empirical and the Bayes-empirical predictions of the example study, 12 replicates of 60 codon sites, and the branch-site scores with class 2 alone as true" \
  -l "NEB predictions scored by VarnelDrovik on the example study, a label long enough to wrap" \
  <(cd "$examples" && "$build/sitecheck/VarnelDrovik" 60 12 siterates mlc </dev/null) \
  -l "BEB (SelwickBEB)" <(cd "$examples" && "$build/sitecheck/SelwickBEB" 60 12 siterates mlc </dev/null) \
  -l "/a/folder/with/a/long/name/without/any/blanks/selwick_br_class_2_only.txt" \
  <(cd "$examples" && "$build/sitecheck/SelwickBR" 60 12 siterates.txt mlc 2 </dev/null)

for figure in example long; do
  svg="$tmp/$figure.svg"
  xmllint --noout "$svg"
  # The figure's size in CSS pixels (96 per inch), from its width and height in mm.
  size() { sed -n "s/^<svg .* $1=\"\([0-9.]*\)mm\".*/\1/p" "$svg"; }
  css_px() { awk -v mm="$1" 'BEGIN { printf "%d", int(mm / 25.4 * 96 + 0.999) }'; }
  width=$(css_px "$(size width)")
  height=$(css_px "$(size height)")

  rsvg-convert -b white -w $((2 * width)) -o "$tmp/$figure-rsvg.png" "$svg"
  # Chromium complains on standard error that it finds no D-Bus; only its status counts.
  chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
    --disable-background-networking --disable-component-update --disable-sync --no-first-run \
    --user-data-dir="$tmp/chromium-profile" --force-device-scale-factor=2 \
    --window-size=$((width + 16)),$((height + 16)) --screenshot="$tmp/$figure-chromium.png" \
    "file://$svg" >"$tmp/chromium.log" 2>&1 || { cat "$tmp/chromium.log"; exit 1; }
  python3 "$here/check_rendering.py" "$svg" "$tmp/$figure-rsvg.png" "$tmp/$figure-chromium.png"
done
