#!/usr/bin/env bash
# Builds the fuzz targets with clang-14, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# in build/fuzz, then fuzzes each target for a bounded time and prints, per target, the inputs
# run, the new corpus entries and the findings.
#   scripts/fuzz.sh [seconds per target, default 60] [target...]
# New corpus entries stay in build/fuzz/corpus/<target> for the next campaign; findings are kept
# in build/fuzz/findings/<target>, libFuzzer's output in build/fuzz/logs/<target>.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] ||
  targets=(version_answer option_words log_flags hex_dump api_script host_buffers)

# TAVRIN_TESTS is what brings fuzz/ into the build; only the fuzz targets are built.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DTAVRIN_TESTS=ON -DTAVRIN_SANITIZE=ON -DTAVRIN_FUZZ=ON >/dev/null
cmake --build "$build" -j 2 --target "${targets[@]/%/_fuzzer}"

export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
status=0
report=()
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target findings=$build/findings/$target log=$build/logs/$target.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  found_before=$(find "$findings" -type f | wc -l)
  echo "fuzzing $target for ${seconds}s"
  # New entries go to the first folder; the seeds in fuzz/corpus are only read. Every path is
  # absolute: option_words works in a folder of its own while an input runs.
  "$build/bin/${target}_fuzzer" "$corpus" "$root/fuzz/corpus/$target" \
    -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" >"$log" 2>&1 || status=1
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  # A run that stopped at a finding prints no final figures; its last status line has them.
  [ -n "$runs" ] || runs=$(grep -o '^#[0-9]*' "$log" | tail -1 | tr -d '#')
  new=$(sed -n 's/^stat::new_units_added: *//p' "$log")
  [ -n "$new" ] || new=$(grep -c '^#[0-9]*[[:space:]]*NEW ' "$log" || true)
  found=$(($(find "$findings" -type f | wc -l) - found_before))
  report+=("$(printf '%-16s %12s %8s %9s' "$target" "${runs:-?}" "${new:-?}" "$found")")
  [ "$found" -eq 0 ] || status=1
done

printf '\n%-16s %12s %8s %9s\n' target executions new findings
printf '%s\n' "${report[@]}"
if [ "$status" -ne 0 ]; then
  echo "findings are in $build/findings; libFuzzer's output in $build/logs" >&2
fi
exit "$status"
