#!/usr/bin/env bash
# Benchmark of VarnelDrovik, SelwickBR, SelwickBEB and zenthar on generated studies, timed by
# hyperfine against grep, cat and igzip baselines on the same cached files, with the peak
# memory of each program. Not part of the tests; the output check on the medium study is
# the CTest test bench.output. See bench/README.md.
set -euo pipefail
export LC_ALL=C

repo=$(cd "$(dirname "$0")/.." && pwd)
bench=$repo/bench

usage() {
  cat <<EOF
usage: bench/run.sh [PRESET...] [options]

presets (default: medium):
  medium    2,000 replicates of 1,000 sites (report ~50 MB), 8 tables of 100,000 lines
  big       20,000 replicates of 1,000 sites (report ~500 MB), 8 tables of 1,000,000 lines
  dense     10 replicates of 100,000 sites, nearly all true and nearly all predicted
  big-gz    the big study with the report, siterates.txt and the tables gzipped (gzip -6)
  big-bgzf  the same in BGZF blocks (bgzip), one gzip member per 64 KiB block
  all       medium, big, dense, big-gz and big-bgzf
  smoke     a tiny study, for trying the runner itself

options:
  --data DIR       generated studies go to DIR/<preset> (default /tmp/sitetools-bench)
  --build-dir DIR  build folder of the programs (default build-bench in the repository)
  --no-build       take the programs from the build folder as they are
  --compare DIR    also time the programs of the build folder DIR (e.g. the build before a
                   change), named PROGRAM@before, and print their ratio to this build's
  --runs N         timed runs of every command (default 10)
  --awk            also time the awk baselines (slow: minutes on big)
EOF
}

die() {
  echo "bench/run.sh: $*" >&2
  exit 1
}

presets=()
data_root=/tmp/sitetools-bench
build_dir=$repo/build-bench
compare_dir=
build=1
runs=10
awk_baselines=0
while [ $# -gt 0 ]; do
  case $1 in
    medium | big | dense | smoke | big-gz | big-bgzf) presets+=("$1") ;;
    all) presets+=(medium big dense big-gz big-bgzf) ;;
    --data) data_root=${2:?--data needs a folder}; shift ;;
    --build-dir) build_dir=${2:?--build-dir needs a folder}; shift ;;
    --compare) compare_dir=$(cd "${2:?--compare needs a folder}" && pwd); shift ;;
    --no-build) build=0 ;;
    --runs) runs=${2:?--runs needs a number}; shift ;;
    --awk) awk_baselines=1 ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
  shift
done
[ ${#presets[@]} -gt 0 ] || presets=(medium)
[[ $runs =~ ^[1-9][0-9]*$ ]] || die "--runs needs a positive number"
command -v hyperfine >/dev/null || die "needs hyperfine (Debian package hyperfine)"
mkdir -p "$data_root"
data_root=$(cd "$data_root" && pwd)
case $build_dir in /*) ;; *) build_dir=$PWD/$build_dir ;; esac
if command -v mawk >/dev/null; then awk=mawk; else awk=awk; fi

tools=$data_root/tools
mkdir -p "$tools"
for tool in gen_study measure; do
  if [ ! -x "$tools/$tool" ] || [ "$bench/$tool.cc" -nt "$tools/$tool" ]; then
    g++ -O2 -std=c++17 "$bench/$tool.cc" -o "$tools/$tool" || die "cannot build $tool"
  fi
done

if [ $build = 1 ]; then
  echo "== building the programs in $build_dir (Release)"
  log=$data_root/build.log
  { cmake -S "$repo" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF &&
    cmake --build "$build_dir" -j2 --target VarnelDrovik SelwickBR SelwickBEB zenthar; } \
    >"$log" 2>&1 || { tail -n 30 "$log" >&2; die "the build failed (full log: $log)"; }
fi

# The path of a program in a build folder.
program() {
  case $2 in
    zenthar) echo "$1/runcompare/zenthar" ;;
    *) echo "$1/sitecheck/$2" ;;
  esac
}

# Generates a study unless it is there from the same generator source.
ensure_data() {
  local preset=$1 dir=$data_root/$1 stamp
  stamp="$(sha256sum <"$bench/gen_study.cc" | cut -c1-64) $preset"
  [ -f "$dir/.complete" ] && [ "$(cat "$dir/.complete")" = "$stamp" ] && return
  mkdir -p "$dir"
  rm -f "$dir/.complete"
  echo "   generating the $preset study into $dir"
  "$tools/gen_study" "$preset" "$dir" || die "gen_study $preset failed"
  echo "$stamp" >"$dir/.complete"
}

# Makes the compressed copy of the big study: the report, siterates.txt and the tables as
# one gzip member each (big-gz) or in BGZF blocks (big-bgzf); siterates stays plain.
ensure_compressed() {
  local preset=$1 dir=$data_root/$1 big=$data_root/big stamp f
  ensure_data big
  stamp="$(cat "$big/.complete") $preset"
  [ -f "$dir/.complete" ] && [ "$(cat "$dir/.complete")" = "$stamp" ] && return
  mkdir -p "$dir"
  rm -f "$dir/.complete"
  echo "   compressing the big study into $dir"
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
}

# Appends "NAME<TAB>COMMAND" lines for one build's programs to $commands. $1: the build
# folder, $2: the suffix of the names, $3: the suffix of the input files (.gz or nothing).
program_commands() {
  local z=() t
  for ((t = 1; t <= tables; t++)); do z+=("run$t.txt$3"); done
  {
    printf 'VarnelDrovik%s\t%s %s %s siterates mlc%s\n' "$2" "$(program "$1" VarnelDrovik)" \
      "$sites" "$replicates" "$3"
    printf 'SelwickBR%s\t%s %s %s siterates.txt%s mlc%s 2 3\n' "$2" "$(program "$1" SelwickBR)" \
      "$sites" "$replicates" "$3" "$3"
    printf 'SelwickBEB%s\t%s %s %s siterates mlc%s\n' "$2" "$(program "$1" SelwickBEB)" \
      "$sites" "$replicates" "$3"
    [ "$tables" = 0 ] || printf 'zenthar%s\t%s %s 13\n' "$2" "$(program "$1" zenthar)" "${z[*]}"
  } >>"$commands"
}

# Times one preset: every command of $commands by hyperfine, then prints the ratio of each
# program's median to its baselines' (and to the compared build's), and its peak memory.
run_preset() {
  local preset=$1 gz="" dir=$data_root/$1
  echo
  echo "== $preset"
  case $preset in
    big-gz | big-bgzf) gz=.gz; ensure_compressed "$preset" ;;
    *) ensure_data "$preset" ;;
  esac
  # shellcheck disable=SC1091
  sites=$(sed -n 's/^sites=//p' "$dir/study.env")
  replicates=$(sed -n 's/^replicates=//p' "$dir/study.env")
  tables=$(sed -n 's/^tables=//p' "$dir/study.env")
  local scratch=$dir/timing t z=()
  rm -rf "$scratch" && mkdir -p "$scratch"
  for ((t = 1; t <= tables; t++)); do z+=("run$t.txt$gz"); done
  commands=$scratch/commands
  : >"$commands"
  program_commands "$build_dir" "" "$gz"
  [ -z "$compare_dir" ] || program_commands "$compare_dir" "@before" "$gz"
  # GNU grep stops at the first match when its output is /dev/null: give it a file.
  if [ -z "$gz" ]; then
    printf 'grep\tgrep -c "Naive Empirical" mlc >%s/grep.count\n' "$scratch" >>"$commands"
    printf 'cat-siterates\tcat siterates mlc\n' >>"$commands"
    printf 'cat-classes\tcat siterates.txt mlc\n' >>"$commands"
    [ "$tables" = 0 ] || printf 'cat-tables\tcat %s\n' "${z[*]}" >>"$commands"
  else
    printf 'igzip-mlc\tigzip -dc mlc.gz\n' >>"$commands"
    printf 'igzip-classes\tigzip -dc siterates.txt.gz mlc.gz\n' >>"$commands"
    printf 'igzip-tables\tigzip -dc %s\n' "${z[*]}" >>"$commands"
  fi
  if [ $awk_baselines = 1 ] && [ -z "$gz" ]; then
    printf 'awk-neb\t%s -v ls=%s -v nrepl=%s -v sitefile=siterates -v report=mlc -f %s\n' \
      "$awk" "$sites" "$replicates" "$bench/awk/neb.awk" >>"$commands"
    printf 'awk-zenthar\t%s -f %s %s 13\n' "$awk" "$bench/awk/zenthar.awk" "${z[*]}" >>"$commands"
  fi

  local args=() name cmd
  while IFS=$'\t' read -r name cmd; do args+=(-n "$name" "$cmd </dev/null"); done <"$commands"
  (cd "$dir" && find . -maxdepth 1 -type f -exec cat {} + >/dev/null &&
    hyperfine --style basic --warmup 1 --runs "$runs" --export-csv "$scratch/times.csv" \
      "${args[@]}") || die "hyperfine failed on $preset"

  # Peak resident memory of each program, from one run under measure.
  while IFS=$'\t' read -r name cmd; do
    case $name in VarnelDrovik* | Selwick* | zenthar*) ;; *) continue ;; esac
    # shellcheck disable=SC2086
    (cd "$dir" && "$tools/measure" "$scratch/peak" $cmd </dev/null >/dev/null)
    echo "$name $(cut -d' ' -f2 "$scratch/peak" | tail -n 1)" >>"$scratch/peaks"
  done <"$commands"

  echo
  echo "   $preset: medians in seconds; ratios of medians; peak resident memory"
  "$awk" -F, -v gz="$gz" '
    FILENAME ~ /times.csv$/ { if (FNR > 1) { median[$1] = $4; order[++n] = $1 }; next }
    { peak[$1] = $2 / 1024 }
    END {
      for (i = 1; i <= n; i++) {
        p = order[i]; split(p, parts, "@"); base = parts[1]
        if (base !~ /^(VarnelDrovik|Selwick|zenthar)/) continue
        if (gz == "") { b1 = base == "zenthar" ? "cat-tables" : "grep"
                        b2 = base == "SelwickBR" ? "cat-classes" : base == "zenthar" ? "" : "cat-siterates" }
        else { b1 = base == "zenthar" ? "igzip-tables" : base == "SelwickBR" ? "igzip-classes" : "igzip-mlc"; b2 = "" }
        line = sprintf("   %-20s %8.4f s", p, median[p])
        if (median[b1] > 0) line = line sprintf("  %5.2f x %s", median[p] / median[b1], b1)
        if (median[b2] > 0) line = line sprintf("  %5.2f x %s", median[p] / median[b2], b2)
        if (median[p "@before"] > 0) line = line sprintf("  %5.3f x @before", median[p] / median[p "@before"])
        print line sprintf("  %5.1f MiB", peak[p])
      }
    }' "$scratch/times.csv" FS=' ' "$scratch/peaks"
}

echo "== sitetools benchmark: ${presets[*]}; $runs timed runs per command"
echo "   machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "   programs: $build_dir${compare_dir:+, compared with $compare_dir}; data: $data_root"
for preset in "${presets[@]}"; do run_preset "$preset"; done
