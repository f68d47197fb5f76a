#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each one for a fixed time from the seed
# corpus in fuzz/corpus/<target>/. Fails when any target reports a finding: a
# crash, a sanitizer report, a leak, a hang of more than 10 seconds or an
# input that exhausts memory. Findings are kept in <build>/fuzz-artifacts/.
#
# Environment: VESPERA_FUZZ_BUILD (build directory, default build-fuzzers),
# VESPERA_FUZZ_SECONDS (time per target, default 40).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VESPERA_FUZZ_BUILD:-$root/build-fuzzers}
seconds=${VESPERA_FUZZ_SECONDS:-40}
targets=(control_file element_file magnitude_file omm_csv omm_xml omm_json report_file)

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVESPERA_FUZZ=ON -DVESPERA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for target in "${targets[@]}"; do
  corpus=$build/fuzz-corpus/$target    # inputs found in this run
  artifacts=$build/fuzz-artifacts/$target
  log=$build/fuzz-$target.log
  mkdir -p "$corpus" "$artifacts"
  echo "== fuzz_$target for ${seconds}s"
  if "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" \
      "$corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    grep -E '^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' "$log" || true
    grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true
  else
    failed+=("$target")
    echo "fuzz_$target: FINDING (log $log, inputs in $artifacts)"
    grep -E 'ERROR|runtime error|SUMMARY|Test unit written' "$log" | head -20 || true
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing failed: ${failed[*]}"
  exit 1
fi
echo "fuzzing: ${#targets[@]} targets, no finding"
