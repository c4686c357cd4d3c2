#!/usr/bin/env bash
# Draws the README's figure: the naive-empirical (VarnelDrovik) and the Bayes-empirical
# (SelwickBEB) predictions of the example study in this folder, side by side.
# Arguments: the build folder (default: build, beside this folder) and the figure file
# (default: figure.svg in this folder).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
out="${2:-$here/figure.svg}"
[[ "$out" == /* ]] || out="$PWD/$out"  # named from where the script was started
cd "$here"

"$build/siteplot/siteplot" -o "$out" -t "Example study: 12 replicates of 60 sites" \
  -l "NEB (VarnelDrovik)" <("$build/sitecheck/VarnelDrovik" 60 12 siterates mlc </dev/null) \
  -l "BEB (SelwickBEB)" <("$build/sitecheck/SelwickBEB" 60 12 siterates mlc </dev/null)
