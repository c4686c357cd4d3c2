#!/usr/bin/env bash
# Benchmark of VarnelDrovik, SelwickBR, SelwickBEB and zenthar on generated studies, timed
# against grep, cat and awk baselines on the same cached files. Not part of the tests.
# On the medium study it also checks that the programs' output matches the stored
# reference (bench/reference-medium.sha256). See bench/README.md.
set -euo pipefail
export LC_ALL=C

repo=$(cd "$(dirname "$0")/.." && pwd)
bench=$repo/bench
reference_file=$bench/reference-medium.sha256

usage() {
  cat <<EOF
usage: bench/run.sh [medium|big|dense|all|smoke] [options]

  medium  2,000 replicates of 1,000 sites (report ~50 MB), 8 tables of 100,000 lines;
          also checks the programs' output against bench/reference-medium.sha256
  big     20,000 replicates of 1,000 sites (report ~500 MB), 8 tables of 1,000,000 lines
  dense   10 replicates of 100,000 sites, nearly all true and nearly all predicted
  big-gz  the big study with the report, siterates.txt and the tables gzipped (gzip -6)
  big-bgzf  the same in BGZF blocks (bgzip), one gzip member per 64 KiB block
  all     medium, big, dense, big-gz and big-bgzf in turn (default: medium)
  smoke   a tiny study, for trying the runner itself

options:
  --record-reference  store checksums of the programs' output on medium as the reference
  --data DIR          generated studies go to DIR/<preset> (default /tmp/sitetools-bench)
  --build-dir DIR     build folder of the programs (default build-bench in the repository)
  --no-build          do not build; take the programs from the build folder as they are
  --runs N            timed runs of every command (default 5)
  --strict            exit with status 3 when a target is missed
EOF
}

die() {
  echo "bench/run.sh: $*" >&2
  exit 1
}

presets=()
record=0
data_root=/tmp/sitetools-bench
build_dir=$repo/build-bench
build=1
runs=5
strict=0
while [ $# -gt 0 ]; do
  case $1 in
    medium | big | dense | smoke | big-gz | big-bgzf) presets+=("$1") ;;
    all) presets+=(medium big dense big-gz big-bgzf) ;;
    --record-reference) record=1 ;;
    --data) data_root=${2:?--data needs a folder}; shift ;;
    --build-dir) build_dir=${2:?--build-dir needs a folder}; shift ;;
    --no-build) build=0 ;;
    --runs) runs=${2:?--runs needs a number}; shift ;;
    --strict) strict=1 ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
  shift
done
[ ${#presets[@]} -gt 0 ] || presets=(medium)
[[ $runs =~ ^[1-9][0-9]*$ ]] || die "--runs needs a positive number"
if [ $record = 1 ] && [[ " ${presets[*]} " != *" medium "* ]]; then
  die "--record-reference records the medium study: bench/run.sh medium --record-reference"
fi
mkdir -p "$data_root"
data_root=$(cd "$data_root" && pwd)
case $build_dir in /*) ;; *) build_dir=$PWD/$build_dir ;; esac

if command -v mawk >/dev/null; then awk=mawk; else awk=awk; fi
awk_version=$("$awk" -W version 2>/dev/null | head -n 1 || true)
[ -n "$awk_version" ] || awk_version=$("$awk" --version 2>/dev/null | head -n 1 || true)

# ---------------------------------------------------------------------------- tools

tools=$data_root/tools
mkdir -p "$tools"
for tool in gen_study measure; do
  if [ ! -x "$tools/$tool" ] || [ "$bench/$tool.cc" -nt "$tools/$tool" ]; then
    g++ -O2 -std=c++17 "$bench/$tool.cc" -o "$tools/$tool" || die "cannot build $tool"
  fi
done
measure=$tools/measure

if [ $build = 1 ]; then
  echo "== building the programs in $build_dir (Release)"
  log=$data_root/build.log
  # Only the four programs timed here: no tests, no siteplot.
  if ! { cmake -S "$repo" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF &&
    cmake --build "$build_dir" -j2 --target VarnelDrovik SelwickBR SelwickBEB zenthar; } \
    >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    die "the build failed (full log: $log); --no-build times the programs already built"
  fi
fi
sitecheck_bin=$build_dir/sitecheck
runcompare_bin=$build_dir/runcompare

program_path() {
  case $1 in
    zenthar) echo "$runcompare_bin/zenthar" ;;
    *) echo "$sitecheck_bin/$1" ;;
  esac
}

# ---------------------------------------------------------------------------- helpers

# Float arithmetic and comparisons through awk.
calc() { awk "BEGIN { printf \"%.6g\", $1 }"; }
# Three significant digits, without an exponent.
short() { awk -v v="$1" 'BEGIN { if (v >= 1000 || v <= -1000) printf "%.0f", v; else printf "%.3g", v }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
size_mb() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1e6 }'; }

file_size() {
  local total=0 f
  for f in "$@"; do total=$((total + $(stat -c %s "$f"))); done
  echo "$total"
}

# Free space needed by a preset, in KiB: its data plus the output of zenthar and awk.
space_needed() {
  case $1 in
    big) echo 2600000 ;;
    big-gz | big-bgzf) echo 900000 ;;
    medium) echo 300000 ;;
    dense) echo 120000 ;;
    *) echo 10000 ;;
  esac
}

# Makes a compressed copy of the big study in `dir` unless it is already there: the report,
# siterates.txt and the tables gzipped as one member each (big-gz) or in BGZF blocks
# (big-bgzf); siterates stays plain.
ensure_compressed() {
  local preset=$1 dir=$2 big=$data_root/big stamp f
  ensure_data big "$big"
  stamp="$(cat "$big/.complete") $preset"
  if [ -f "$dir/.complete" ] && [ "$(cat "$dir/.complete")" = "$stamp" ]; then
    echo "   study: $dir (already compressed)"
    return
  fi
  mkdir -p "$dir"
  rm -f "$dir/.complete"
  cp "$big/study.env" "$big/siterates" "$dir/"
  for f in mlc siterates.txt $(cd "$big" && ls run*.txt); do
    if [ "$preset" = big-gz ]; then
      gzip -6 -n -c "$big/$f" >"$dir/$f.gz"
    else
      command -v bgzip >/dev/null || die "big-bgzf needs bgzip (Debian package tabix)"
      bgzip -l 6 -c "$big/$f" >"$dir/$f.gz"
    fi
  done
  echo "$stamp" >"$dir/.complete"
  echo "   study: compressed into $dir"
}

# Generates the study unless it is already there from the same generator source.
ensure_data() {
  local preset=$1 dir=$2 stamp
  stamp="$(sha256sum <"$bench/gen_study.cc" | cut -c1-64) $preset"
  if [ -f "$dir/.complete" ] && [ "$(cat "$dir/.complete")" = "$stamp" ]; then
    echo "   study: $dir (already generated)"
    return
  fi
  mkdir -p "$dir"
  rm -f "$dir/.complete"
  local free
  free=$(df -Pk "$dir" | awk 'NR == 2 { print $4 }')
  [ "$free" -ge "$(space_needed "$preset")" ] ||
    die "not enough free space in $dir for the $preset study ($((free / 1024)) MiB free)"
  : >"$dir/generation.time"
  "$measure" "$dir/generation.time" "$tools/gen_study" "$preset" "$dir" ||
    die "gen_study failed"
  read -r seconds _ status <"$dir/generation.time"
  [ "$status" = 0 ] || die "gen_study $preset $dir failed with status $status"
  echo "$stamp" >"$dir/.complete"
  echo "   study: generated into $dir in ${seconds%????} s"
}

# Sets cmd (the command line) and out (where its standard output goes) for a label.
set_command() {
  out=/dev/null
  case $1 in
    VarnelDrovik) cmd=("$(program_path VarnelDrovik)" "$sites" "$replicates" siterates mlc) ;;
    SelwickBR) cmd=("$(program_path SelwickBR)" "$sites" "$replicates" siterates.txt mlc 2 3) ;;
    SelwickBEB) cmd=("$(program_path SelwickBEB)" "$sites" "$replicates" siterates mlc) ;;
    zenthar) cmd=("$(program_path zenthar)" "${table_files[@]}" 13) ;;
    VarnelDrovik-gz) cmd=("$(program_path VarnelDrovik)" "$sites" "$replicates" siterates mlc.gz) ;;
    SelwickBR-gz) cmd=("$(program_path SelwickBR)" "$sites" "$replicates" siterates.txt.gz mlc.gz 2 3) ;;
    SelwickBEB-gz) cmd=("$(program_path SelwickBEB)" "$sites" "$replicates" siterates mlc.gz) ;;
    zenthar-gz) cmd=("$(program_path zenthar)" "${table_files[@]/%/.gz}" 13) ;;
    igzip-mlc) cmd=(igzip -dc mlc.gz) ;;
    igzip-classes) cmd=(igzip -dc siterates.txt.gz mlc.gz) ;;
    igzip-tables) cmd=(igzip -dc "${table_files[@]/%/.gz}") ;;
    # What a user does without compressed input: decompress into a pipe.
    route-VarnelDrovik) cmd=(bash -c '"$0" "$1" "$2" siterates <(gzip -dc mlc.gz)'
      "$(program_path VarnelDrovik)" "$sites" "$replicates") ;;
    route-SelwickBR) cmd=(bash -c '"$0" "$1" "$2" <(gzip -dc siterates.txt.gz) <(gzip -dc mlc.gz) 2 3'
      "$(program_path SelwickBR)" "$sites" "$replicates") ;;
    # GNU grep stops at the first match when its output is /dev/null: give it a file.
    grep) cmd=(grep -c "Naive Empirical" mlc); out=$scratch/grep.count ;;
    cat-siterates) cmd=(cat siterates mlc) ;;
    cat-classes) cmd=(cat siterates.txt mlc) ;;
    cat-tables) cmd=(cat "${table_files[@]}") ;;
    awk-neb) cmd=("$awk" -v ls="$sites" -v nrepl="$replicates" -v sitefile=siterates
      -v report=mlc -f "$bench/awk/neb.awk") ;;
    awk-branchsite) cmd=("$awk" -v ls="$sites" -v nrepl="$replicates" -v sitefile=siterates.txt
      -v report=mlc -v classes="2 3" -f "$bench/awk/branchsite.awk") ;;
    awk-beb) cmd=("$awk" -v ls="$sites" -v nrepl="$replicates" -v sitefile=siterates
      -v report=mlc -v sitelist=1 -f "$bench/awk/branchsite.awk") ;;
    awk-zenthar) cmd=("$awk" -f "$bench/awk/zenthar.awk" "${table_files[@]}" 13) ;;
    *) die "unknown command label $1" ;;
  esac
}

table_range() {
  if [ "$tables" -gt 2 ]; then echo "run1.txt .. run$tables.txt"; else echo "${table_files[*]}"; fi
}

describe() {
  case $1 in
    grep) echo "LC_ALL=C grep -c \"Naive Empirical\" mlc" ;;
    cat-siterates) echo "cat siterates mlc >/dev/null" ;;
    cat-classes) echo "cat siterates.txt mlc >/dev/null" ;;
    cat-tables) echo "cat $(table_range) >/dev/null" ;;
    awk-neb) echo "$awk -f bench/awk/neb.awk" ;;
    awk-branchsite) echo "$awk -f bench/awk/branchsite.awk (classes 2 3)" ;;
    awk-beb) echo "$awk -f bench/awk/branchsite.awk (sitelist=1)" ;;
    awk-zenthar) echo "$awk -f bench/awk/zenthar.awk" ;;
    zenthar) echo "zenthar $(table_range) 13" ;;
    zenthar-gz) echo "zenthar $(table_range | sed 's/\.txt/.txt.gz/g') 13" ;;
    igzip-mlc) echo "igzip -dc mlc.gz >/dev/null" ;;
    igzip-classes) echo "igzip -dc siterates.txt.gz mlc.gz >/dev/null" ;;
    igzip-tables) echo "igzip -dc $(table_range | sed 's/\.txt/.txt.gz/g') >/dev/null" ;;
    route-VarnelDrovik) echo "VarnelDrovik ... siterates <(gzip -dc mlc.gz)" ;;
    route-SelwickBR) echo "SelwickBR ... <(gzip -dc siterates.txt.gz) <(gzip -dc mlc.gz) 2 3" ;;
    *-gz) set_command "$1"; echo "${1%-gz} ${cmd[*]:1}" ;;
    *) set_command "$1"; echo "$1 ${cmd[*]:1}" ;;
  esac
}

# Baselines of a program: grep, cat, awk (grep is not a baseline of zenthar).
baselines_of() {
  case $1 in
    VarnelDrovik) echo "grep cat-siterates awk-neb" ;;
    SelwickBR) echo "grep cat-classes awk-branchsite" ;;
    SelwickBEB) echo "grep cat-siterates awk-beb" ;;
    zenthar) echo "- cat-tables awk-zenthar" ;;
  esac
}

# Runs a label once in the study folder; the measurement goes to $scratch/<label>.runs.
run_once() {
  local label=$1
  set_command "$label"
  (cd "$dir" && "$measure" "$scratch/$label.runs" "${cmd[@]}" </dev/null >"$out") ||
    die "cannot time $(describe "$label")"
  local status
  status=$(tail -n 1 "$scratch/$label.runs" | cut -d' ' -f3)
  [ "$status" = 0 ] || die "$(describe "$label") exited with status $status in $dir"
}

median_of() { # seconds of a label's timed runs
  cut -d' ' -f1 "$scratch/$1.runs" | sort -g |
    awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
peak_of() { # KiB, highest of the timed runs
  cut -d' ' -f2 "$scratch/$1.runs" | sort -n | tail -n 1
}

# Ratio of the medians of two labels; empty when either was not timed.
ratio() {
  if [ -n "${median[$1]:-}" ] && [ -n "${median[$2]:-}" ]; then
    calc "${median[$1]} / ${median[$2]}"
  fi
}

missed=0
checked=0
# One line of the target list: description, measured value, comparison, goal, whether it
# counts on this preset ("yes") or is shown for information ("info").
target() {
  local what=$1 value=$2 op=$3 goal=$4 counts=$5 verdict
  if [ -z "$value" ]; then
    verdict="n/a"
  else
    local ok
    ok=$(awk -v v="$value" -v g="$goal" -v op="$op" 'BEGIN {
      if (op == "<=") print (v <= g); else if (op == ">=") print (v >= g)
      else { split(g, r, "[.][.]"); print (v >= r[1] && v <= r[2]) } }')
    if [ "$ok" = 1 ]; then verdict=met; else verdict=MISSED; fi
    if [ "$counts" = yes ]; then
      checked=$((checked + 1))
      [ "$ok" = 1 ] || missed=$((missed + 1))
    else
      verdict="$verdict (info)"
    fi
  fi
  [ -z "$value" ] || value=$(short "$value")
  printf '   %-46s %8s   %-3s %-7s %s\n' "$what" "$value" "$op" "$goal" "$verdict"
}

# ---------------------------------------------------------------------------- reference

# Runs each program once on the medium study, keeping its console output, its exit status
# and (zenthar) out.txt; then records or compares their checksums with those of the inputs.
reference_check() {
  local programs=(VarnelDrovik SelwickBR SelwickBEB zenthar) missing=() failed=() prog status
  rm -rf "$dir/output"
  mkdir -p "$dir/output"
  for prog in "${programs[@]}"; do
    if [ ! -x "$(program_path "$prog")" ]; then
      missing+=("$prog")
      continue
    fi
    set_command "$prog"
    status=0
    rm -f "$dir/out.txt"
    (cd "$dir" && "${cmd[@]}" </dev/null >"output/$prog.stdout") || status=$?
    echo "$status" >"$dir/output/$prog.status"
    [ $status = 0 ] || failed+=("$prog (status $status)")
    if [ "$prog" = zenthar ] && [ -f "$dir/out.txt" ]; then
      cp "$dir/out.txt" "$dir/output/zenthar.out.txt"
    fi
  done

  local current=$scratch/reference.sha256
  (cd "$dir" && sha256sum siterates siterates.txt mlc "${table_files[@]}" &&
    for f in output/*; do [ ! -e "$f" ] || sha256sum "$f"; done) >"$current"

  if [ $record = 1 ]; then
    [ ${#missing[@]} = 0 ] || die "cannot record the reference: not built: ${missing[*]}"
    [ ${#failed[@]} = 0 ] || die "cannot record the reference: failed: ${failed[*]}"
    {
      echo "# Checksums of the programs' console output, exit status and out.txt on the"
      echo "# medium benchmark study, with those of the study's files they were made from."
      echo "# Written by: bench/run.sh medium --record-reference"
      echo "# Recorded $(date '+%F') with the repository at commit" \
        "$(git -C "$repo" rev-parse --short HEAD 2>/dev/null || echo unknown)"
      cat "$current"
    } >"$reference_file"
    echo "   reference recorded in ${reference_file#"$repo"/}:"
    sed 's/^/     /' "$current"
    return
  fi

  if [ ! -f "$reference_file" ]; then
    echo "   no reference recorded yet: output not checked (bench/run.sh medium --record-reference)"
    return
  fi
  local expected=$scratch/reference.expected
  grep -v '^#' "$reference_file" >"$expected"
  if grep -q ' output/' "$current" && [ ${#missing[@]} = 0 ] && cmp -s "$expected" "$current"; then
    echo "   output check: console output, exit status and out.txt of all four programs"
    echo "   match ${reference_file#"$repo"/}"
    return
  fi
  {
    echo
    echo "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"
    echo "!!! OUTPUT CHECK FAILED on the medium study"
    [ ${#missing[@]} = 0 ] || echo "!!! not built, so not checked: ${missing[*]}"
    if ! diff <(grep -v ' output/' "$expected") <(grep -v ' output/' "$current") >/dev/null; then
      echo "!!! the generated study differs from the one the reference was recorded on"
      echo "!!! (bench/gen_study.cc changed?): record the reference again on a known-good build"
    fi
    echo "!!! expected (reference) vs. now; < lines are the reference:"
    diff "$expected" "$current" | grep '^[<>]' | sed 's/^/!!!   /' || true
    echo "!!! the output of this run is in $dir/output/"
    echo "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"
  } >&2
  exit 1
}

# Shows whether the programs print what the awk baselines print (information only: the
# awk programs print the same texts for these well-formed studies).
awk_agreement() {
  local prog label line=""
  for prog in VarnelDrovik SelwickBR SelwickBEB; do
    [ -f "$dir/output/$prog.stdout" ] || continue
    case $prog in
      VarnelDrovik) label=awk-neb ;;
      SelwickBR) label=awk-branchsite ;;
      SelwickBEB) label=awk-beb ;;
    esac
    set_command "$label"
    (cd "$dir" && "${cmd[@]}" >"$scratch/$label.stdout")
    if cmp -s "$dir/output/$prog.stdout" "$scratch/$label.stdout"; then
      line+=" $prog=same"
    else
      line+=" $prog=DIFFERS"
    fi
  done
  if [ -f "$dir/output/zenthar.out.txt" ]; then
    set_command awk-zenthar
    (cd "$dir" && "${cmd[@]}" >/dev/null)
    if cmp -s "$dir/output/zenthar.out.txt" "$dir/out-awk.txt"; then
      line+=" zenthar(out.txt)=same"
    else
      line+=" zenthar(out.txt)=DIFFERS"
    fi
  fi
  [ -z "$line" ] || echo "   same output as the awk baselines (information):$line"
}

# ---------------------------------------------------------------------------- one preset

# Reads the study's settings (sites, replicates, tables, table_lines) from study.env in
# $dir, names its tables and makes a fresh scratch folder for the timings.
read_study() {
  local key value t
  while IFS='=' read -r key value; do
    case $key in
      sites) sites=$value ;;
      replicates) replicates=$value ;;
      tables) tables=$value ;;
      table_lines) table_lines=$value ;;
    esac
  done <"$dir/study.env"
  table_files=()
  for ((t = 1; t <= tables; t++)); do table_files+=("run$t.txt"); done
  scratch=$dir/timing
  rm -rf "$scratch"
  mkdir -p "$scratch"
}

# Times the labels given, each run once untimed first (which also checks its status), then
# $runs times round-robin, so that a slow spell of the machine hits every command alike;
# fills median and peak, and prints them, the command column `width` wide.
time_labels() {
  local width=$1 label run
  shift
  for label in "$@"; do run_once "$label"; done
  rm -f "$scratch"/*.runs
  for ((run = 1; run <= runs; run++)); do
    printf '   run %d/%d:' "$run" "$runs"
    for label in "$@"; do
      run_once "$label"
      printf ' %s' "$label"
    done
    printf '\n'
  done
  unset median peak
  declare -gA median peak
  for label in "$@"; do
    median[$label]=$(median_of "$label")
    peak[$label]=$(peak_of "$label")
  done
  echo
  echo "   medians of $runs runs, in seconds; peak resident memory in MiB"
  printf "   %-${width}s %9s %9s\n" command "median s" "peak MiB"
  for label in "$@"; do
    printf "   %-${width}s %9.4f %9s\n" "$(describe "$label")" "${median[$label]}" \
      "$(mib "${peak[$label]}")"
  done
}


run_preset() {
  local preset=$1
  dir=$data_root/$preset
  echo
  echo "== $preset"
  ensure_data "$preset" "$dir"
  read_study

  local report_size site_size class_size table_size=0
  report_size=$(file_size "$dir/mlc")
  site_size=$(file_size "$dir/siterates")
  class_size=$(file_size "$dir/siterates.txt")
  [ "$tables" = 0 ] || table_size=$(file_size "${table_files[@]/#/$dir/}")
  echo "   $replicates replicates of $sites sites: mlc $(size_mb "$report_size")," \
    "siterates $(size_mb "$site_size"), siterates.txt $(size_mb "$class_size")"
  [ "$tables" = 0 ] ||
    echo "   $tables tables of up to $table_lines lines: $(size_mb "$table_size") in all"

  # The labels to time: the programs that are built, then every baseline.
  local programs=(VarnelDrovik SelwickBR SelwickBEB) labels=() prog
  [ "$tables" = 0 ] || programs+=(zenthar)
  for prog in "${programs[@]}"; do
    if [ -x "$(program_path "$prog")" ]; then
      labels+=("$prog")
    else
      echo "   $prog: not built ($(program_path "$prog")), not timed"
    fi
  done
  labels+=(grep cat-siterates cat-classes awk-neb awk-branchsite awk-beb)
  [ "$tables" = 0 ] || labels+=(cat-tables awk-zenthar)

  if [ "$preset" = medium ]; then
    reference_check
    awk_agreement
  fi

  # Warm the cache, then time.
  cat "$dir/siterates" "$dir/siterates.txt" "$dir/mlc" "${table_files[@]/#/$dir/}" >/dev/null
  time_labels 46 "${labels[@]}"
  local label
  for label in "${labels[@]}"; do
    printf '%s\t%s\t%s\n' "$label" "${median[$label]}" "${peak[$label]}"
  done >"$dir/results.tsv"

  echo
  printf '   %-13s %9s | %9s %7s | %9s %7s | %9s %9s | %8s\n' program "median s" \
    "grep s" "ratio" "cat s" "ratio" "awk s" "awk/prog" "peak MiB"
  local base grep_label cat_label awk_label
  for prog in "${programs[@]}"; do
    [ -n "${median[$prog]:-}" ] || continue
    read -r grep_label cat_label awk_label <<<"$(baselines_of "$prog")"
    local p=${median[$prog]} grep_s="-" grep_ratio="-"
    if [ "$grep_label" != - ]; then
      grep_s=$(printf '%.4f' "${median[grep]}")
      grep_ratio=$(short "$(ratio "$prog" grep)")
    fi
    printf '   %-13s %9.4f | %9s %7s | %9.4f %7s | %9.4f %9s | %8s\n' "$prog" "$p" \
      "$grep_s" "$grep_ratio" "${median[$cat_label]}" "$(short "$(ratio "$prog" "$cat_label")")" \
      "${median[$awk_label]}" "$(short "$(ratio "$awk_label" "$prog")")" "$(mib "${peak[$prog]}")"
  done

  echo
  echo "   targets (ratios of medians):"
  local counts=info
  [ "$preset" = big ] && counts=yes
  case $preset in
    medium | big | smoke)
      target "VarnelDrovik / grep -c" "$(ratio VarnelDrovik grep)" "<=" 2 $counts
      target "SelwickBR / grep -c" "$(ratio SelwickBR grep)" "<=" 2.5 $counts
      target "awk neb.awk / VarnelDrovik" "$(ratio awk-neb VarnelDrovik)" ">=" 15 $counts
      target "awk branchsite.awk / SelwickBR" "$(ratio awk-branchsite SelwickBR)" ">=" 15 $counts
      target "zenthar / cat of the $tables tables" "$(ratio zenthar cat-tables)" "<=" 6 $counts
      target "awk zenthar.awk / zenthar" "$(ratio awk-zenthar zenthar)" ">=" 12 $counts
      for prog in "${programs[@]}"; do
        [ -n "${peak[$prog]:-}" ] || continue
        target "peak RSS of $prog, MiB" "$(mib "${peak[$prog]}")" "<=" 10 $counts
      done
      ;;
    dense)
      for prog in VarnelDrovik SelwickBR SelwickBEB; do
        target "$prog / grep -c (dense)" "$(ratio "$prog" grep)" "<=" 3 yes
      done
      ;;
  esac
  if [ "$preset" = big ]; then
    local medium_results=$data_root/medium/results.tsv
    if [ -f "$medium_results" ]; then
      echo "   compared with the medium results of $(date -r "$medium_results" '+%F %T'):"
      local m_median m_peak
      for prog in "${programs[@]}"; do
        [ -n "${median[$prog]:-}" ] || continue
        read -r m_median m_peak <<<"$(awk -v l="$prog" -F'\t' '$1 == l { print $2, $3 }' "$medium_results")"
        [ -n "$m_median" ] || continue
        target "$prog: time, big / medium" "$(calc "${median[$prog]} / $m_median")" in "8..12" yes
        target "$prog: peak RSS, big - medium, MiB" \
          "$(awk -v a="${peak[$prog]}" -v b="$m_peak" 'BEGIN { d = (a - b) / 1024; print d < 0 ? -d : d }')" \
          "<=" 1 yes
      done
    else
      echo "   no medium results in $data_root/medium: run medium first for the big/medium targets"
    fi
  fi
}

# ---------------------------------------------------------------------------- compressed

# Each program on the compressed study must print what it prints on the plain big study,
# but for the names of the files, and zenthar write the same out.txt.
compressed_check() {
  local big=$data_root/big prog plain_label differs=()
  for prog in VarnelDrovik SelwickBR SelwickBEB zenthar; do
    set_command "$prog-gz"
    rm -f "$dir/out.txt"
    (cd "$dir" && "${cmd[@]}" </dev/null >"$scratch/$prog.gz.stdout") || differs+=("$prog(status)")
    [ "$prog" != zenthar ] || mv "$dir/out.txt" "$scratch/gz.out.txt"
    set_command "$prog"
    (cd "$big" && "${cmd[@]}" </dev/null >"$scratch/$prog.plain.stdout") || true
    # The compressed files' names are printed as given: mlc.gz for mlc, and so on.
    cmp -s <(sed 's/\.gz//g' "$scratch/$prog.gz.stdout") "$scratch/$prog.plain.stdout" ||
      differs+=("$prog")
  done
  cmp -s "$scratch/gz.out.txt" "$big/out.txt" || differs+=("zenthar(out.txt)")
  if [ ${#differs[@]} -gt 0 ]; then
    die "on the compressed study these differ from the plain one: ${differs[*]}"
  fi
  echo "   output check: every program prints on the compressed files what it prints on the"
  echo "   plain ones, and zenthar writes the same out.txt"
}

run_compressed_preset() {
  local preset=$1
  dir=$data_root/$preset
  echo
  echo "== $preset"
  command -v igzip >/dev/null || die "$preset needs igzip (Debian package isal)"
  ensure_compressed "$preset" "$dir"
  read_study
  local gz_tables=("${table_files[@]/%/.gz}")
  echo "   mlc.gz $(size_mb "$(file_size "$dir/mlc.gz")"), siterates.txt.gz" \
    "$(size_mb "$(file_size "$dir/siterates.txt.gz")"), $tables tables" \
    "$(size_mb "$(file_size "${gz_tables[@]/#/$dir/}")")"
  compressed_check

  cat "$dir"/*.gz "$dir/siterates" >/dev/null
  time_labels 62 VarnelDrovik-gz SelwickBR-gz SelwickBEB-gz zenthar-gz igzip-mlc igzip-classes \
    igzip-tables route-VarnelDrovik route-SelwickBR
  local label
  echo
  echo "   targets (ratios of medians):"
  target "VarnelDrovik mlc.gz / igzip -dc mlc.gz" "$(ratio VarnelDrovik-gz igzip-mlc)" "<=" 1.35 yes
  target "SelwickBR / igzip -dc of its two files" "$(ratio SelwickBR-gz igzip-classes)" "<=" 1.35 yes
  target "zenthar / igzip -dc of the $tables tables" "$(ratio zenthar-gz igzip-tables)" "<=" 1.35 yes
  target "VarnelDrovik <(gzip -dc) / VarnelDrovik" "$(ratio route-VarnelDrovik VarnelDrovik-gz)" \
    ">=" 3 yes
  target "SelwickBR <(gzip -dc) / SelwickBR" "$(ratio route-SelwickBR SelwickBR-gz)" ">=" 3 yes
  for label in VarnelDrovik-gz SelwickBR-gz SelwickBEB-gz zenthar-gz; do
    target "peak RSS of ${label%-gz}, MiB" "$(mib "${peak[$label]}")" "<=" 16 yes
  done
}

# ---------------------------------------------------------------------------- main

echo "== sitetools benchmark: ${presets[*]}; $runs timed runs per command"
echo "   machine: $(nproc) cores, $(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)," \
  "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "   programs: $build_dir; awk: $awk ($awk_version); data: $data_root"
for preset in "${presets[@]}"; do
  case $preset in
    big-gz | big-bgzf) run_compressed_preset "$preset" ;;
    *) run_preset "$preset" ;;
  esac
done

echo
if [ $checked -gt 0 ]; then
  echo "== targets: $((checked - missed)) of $checked met"
else
  echo "== targets are checked on big, dense and the compressed presets only"
fi
if [ $strict = 1 ] && [ $missed -gt 0 ]; then exit 3; fi
exit 0
