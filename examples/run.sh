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
