#!/usr/bin/env bash
# The benchmark's output check, run by CTest as bench.output: the four programs on the
# medium study print, exit with and write (out.txt) exactly what reference-medium.sha256
# records, say nothing on standard error, and do the same on gzip copies of the study;
# SelwickBR and SelwickBEB agree on the study's two forms of its site file.
# Usage: bench/check_output.sh BUILD_DIR GEN_STUDY DATA_DIR
set -euo pipefail
export LC_ALL=C
build=$1 gen_study=$2 data=$3
reference=$(cd "$(dirname "$0")" && pwd)/reference-medium.sha256

stamp=$(sha256sum <"$gen_study" | cut -c1-64)
if [ ! -f "$data/.complete" ] || [ "$(cat "$data/.complete")" != "$stamp" ]; then
  rm -rf "$data" && mkdir -p "$data"
  "$gen_study" medium "$data"
  echo "$stamp" >"$data/.complete"
fi
cd "$data"
tables=(run{1..8}.txt)
failed=0
fail() { echo "FAILED: $*"; failed=1; }

# Runs the four programs on the files with suffix $1, their output into output$1/.
run_all() {
  local out=output$1 prog status
  rm -rf "$out" out.txt && mkdir "$out"
  for prog in VarnelDrovik SelwickBR SelwickBEB zenthar; do
    case $prog in
      VarnelDrovik | SelwickBEB) cmd=("$build/sitecheck/$prog" 1000 2000 siterates "mlc$1") ;;
      SelwickBR) cmd=("$build/sitecheck/$prog" 1000 2000 "siterates.txt$1" "mlc$1" 2 3) ;;
      zenthar) cmd=("$build/runcompare/zenthar" "${tables[@]/%/$1}" 13) ;;
    esac
    status=0
    "${cmd[@]}" </dev/null >"$out/$prog.stdout" 2>"$out/$prog.stderr" || status=$?
    echo "$status" >"$out/$prog.status"
    [ ! -s "$out/$prog.stderr" ] || fail "$prog$1 wrote to standard error: $(head -c 300 "$out/$prog.stderr")"
  done
  mv out.txt "$out/zenthar.out.txt"
}

run_all ""
(sha256sum siterates siterates.txt mlc "${tables[@]}" &&
  for f in output/*.out.txt output/*.status output/*.stdout; do sha256sum "$f"; done) |
  sort -k2 >sums.now
grep -v '^#' "$reference" | sort -k2 >sums.expected
diff sums.expected sums.now || fail "the output differs from ${reference##*/} (< expected, > now)"

# The two forms of the study's site file name the same true sites (class 2 or 3), so
# SelwickBR and SelwickBEB print the same replicate lines and table.
cmp -s <(sed -n '/^Replicate/,$p' output/SelwickBR.stdout) \
  <(sed -n '/^Replicate/,$p' output/SelwickBEB.stdout) ||
  fail "SelwickBR on siterates.txt and SelwickBEB on siterates differ"

# The gzip copies: the same output but for the names of the files, and the same out.txt.
for f in mlc siterates.txt "${tables[@]}"; do [ -f "$f.gz" ] || gzip -1 -n -c "$f" >"$f.gz"; done
run_all .gz
for f in output/*.stdout output/*.status output/zenthar.out.txt; do
  cmp -s "$f" <(sed 's/\.gz//g' "output.gz/${f#output/}") || fail "on the gzip copies: $f differs"
done
[ $failed = 0 ] && echo "bench output check: 1 passed, 0 failed"
