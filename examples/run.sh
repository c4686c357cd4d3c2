#!/usr/bin/env bash
# Runs every tool on the example study in this folder. Argument: the build folder
# (default: build, beside this folder).
set -u
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
cd "$here"

echo "### VarnelDrovik 60 12 siterates mlc"
"$build/sitecheck/VarnelDrovik" 60 12 siterates mlc </dev/null
echo

echo "### SelwickBR 60 12 siterates.txt mlc 2 3"
"$build/sitecheck/SelwickBR" 60 12 siterates.txt mlc 2 3 </dev/null
echo

echo "### SelwickBEB 60 12 siterates mlc"
"$build/sitecheck/SelwickBEB" 60 12 siterates mlc </dev/null
echo

echo "### zenthar run1.txt run2.txt run3.txt run4.txt 14"
# zenthar writes out.txt where it runs: in a folder of its own, removed at the end, so that
# this folder stays as it came and a copy of it starts clean.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp run1.txt run2.txt run3.txt run4.txt "$work"
(cd "$work" && "$build/runcompare/zenthar" run1.txt run2.txt run3.txt run4.txt 14 </dev/null)
echo
