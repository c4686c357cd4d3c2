#!/usr/bin/env bash
# Draws the README's figure: the naive-empirical (VarnelDrovik) and the Bayes-empirical
# (SelwickBEB) predictions of the example study in this folder, side by side, from the
# checkers' per-replicate counts.
# Arguments: the build folder (default: build, beside this folder) and the figure file
# (default: figure.svg in this folder).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
out="${2:-$here/figure.svg}"
[[ "$out" == /* ]] || out="$PWD/$out"  # named from where the script was started
cd "$here"

# The checkers' per-replicate counts (--tsv) give the figure exact counts and intervals
# over the replicates.
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
"$build/sitecheck/VarnelDrovik" --tsv "$tmp/neb.tsv" 60 12 siterates mlc </dev/null >/dev/null
"$build/sitecheck/SelwickBEB" --tsv "$tmp/beb.tsv" 60 12 siterates mlc </dev/null >/dev/null
"$build/siteplot/siteplot" -o "$out" -t "Example study: 12 replicates of 60 sites" \
  -l "NEB (VarnelDrovik)" -l "BEB (SelwickBEB)" "$tmp/neb.tsv" "$tmp/beb.tsv"
