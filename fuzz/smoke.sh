#!/usr/bin/env bash
# Runs every fuzz target for a bounded time, two at a time, each on a copy of its seed
# corpus (the corpus in the repository is never written). Fails when any target reports a
# crash, a sanitizer finding, a leak, a time-out or running out of memory, and prints the
# executions of each target.
# Usage: fuzz/smoke.sh [build folder [seconds per target [parallel runs]]]
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build-fuzz}" && pwd)"
seconds="${2:-60}"
parallel="${3:-2}"

# One target for every folder of seeds.
targets=()
for corpus in "$here"/corpus/*/; do targets+=("$(basename "$corpus")"); done
for target in "${targets[@]}"; do
  if [ ! -x "$build/fuzz/$target" ]; then
    echo "missing fuzz target $build/fuzz/$target" >&2
    exit 1
  fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/fuzz-smoke-XXXXXX")"
run_one() {
  local target="$1"
  cp -r "$here/corpus/$target" "$work/$target"
  # The whole-run targets take inputs of full length from the start, up to 64 KiB: libFuzzer's
  # length control and its default limit (the longest seed, at least 4 KiB) would keep them
  # too short to cross a reader's refills.
  local length=()
  case "$target" in *_run_fuzzer) length=(-len_control=0 -max_len=65536) ;; esac
  "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    "${length[@]}" -print_final_stats=1 -artifact_prefix="$work/$target-" "$work/$target" \
    >"$work/$target.log" 2>&1
}

failed=()
pids=()
names=()
wait_oldest() {
  if ! wait "${pids[0]}"; then failed+=("${names[0]}"); fi
  pids=("${pids[@]:1}")
  names=("${names[@]:1}")
}
for target in "${targets[@]}"; do
  run_one "$target" &
  pids+=($!)
  names+=("$target")
  if [ "${#pids[@]}" -ge "$parallel" ]; then wait_oldest; fi
done
while [ "${#pids[@]}" -gt 0 ]; do wait_oldest; done

printf '%-28s %12s %10s\n' target executions exec/s
for target in "${targets[@]}"; do
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/$target.log")
  printf '%-28s %12s %10s\n' "$target" "${runs:-?}" "${speed:-?}"
done

for target in "${failed[@]+"${failed[@]}"}"; do
  echo "== $target FAILED; the end of its log follows"
  tail -n 80 "$work/$target.log"
  # The input that failed, to be reproduced from the log alone:
  # base64 -d > input, then build-fuzz/fuzz/TARGET input.
  for artifact in "$work/$target"-*; do
    [ -f "$artifact" ] || continue
    echo "-- $(basename "$artifact"), in base64:"
    base64 "$artifact"
  done
done
echo "fuzz smoke: $((${#targets[@]} - ${#failed[@]})) passed, ${#failed[@]} failed"
[ "${#failed[@]}" -eq 0 ] || exit 1
rm -rf "$work"
