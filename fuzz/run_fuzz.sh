#!/usr/bin/env bash
# Runs every built fuzz target for a bounded time on a copy of its seed
# corpus, one after the other, and prints one line per target. Exits non-zero
# when a target crashes, hangs, leaks or reports a sanitizer error, or when a
# target has not been built.
#   fuzz/run_fuzz.sh BUILD_DIR [SECONDS] [TARGET...]
set -uo pipefail

build_dir=$(realpath "${1:?usage: run_fuzz.sh BUILD_DIR [SECONDS] [TARGET...]}")
seconds=${2:-60}
shift $(($# >= 2 ? 2 : 1))
fuzz_dir=$(cd "$(dirname "$0")" && pwd)
work_dir="$build_dir/fuzz-runs"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for corpus in "$fuzz_dir"/corpus/*/; do
    targets+=("$(basename "$corpus")")
  done
fi

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"

failed=0
for name in "${targets[@]}"; do
  exe="$build_dir/fuzz/$name"
  if [ ! -x "$exe" ]; then
    printf '%-22s not built\n' "$name"
    failed=1
    continue
  fi
  run_dir="$work_dir/$name"
  rm -rf "$run_dir"
  mkdir -p "$run_dir/corpus" "$run_dir/artifacts"
  cp "$fuzz_dir/corpus/$name"/* "$run_dir/corpus/"
  dict=()
  if [ -f "$fuzz_dir/$name.dict" ]; then dict=("-dict=$fuzz_dir/$name.dict"); fi

  "$exe" "$run_dir/corpus" "${dict[@]}" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$run_dir/artifacts/" \
    >"$run_dir/log" 2>&1
  status=$?

  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run_dir/log" | tail -n 1)
  cov=$(grep -o 'cov: [0-9]*' "$run_dir/log" | tail -n 1 | cut -d' ' -f2)
  result=ok
  if [ $status -ne 0 ] || grep -q -E 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$run_dir/log"; then
    result="FAILED (exit $status; log $run_dir/log; inputs in $run_dir/artifacts)"
    failed=1
  fi
  printf '%-22s runs %-10s cov %-6s %s\n' "$name" "${runs:-?}" "${cov:-?}" "$result"
done
exit $failed
