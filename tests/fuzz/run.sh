#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for FUZZ_SECONDS (default 60)
# from its seed corpus in tests/fuzz/corpus/<target minus _fuzz>/. Fails on
# any crash; the crashing input is kept under build/artifacts/fuzz/.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-60}
build=build/fuzz
artifacts=build/artifacts/fuzz
mkdir -p "$artifacts"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVRL_FUZZ=ON -DVRL_SANITIZE=ON >/dev/null
targets=()
for source in tests/fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
cmake --build "$build" --target "${targets[@]}"

failed=0
for target in "${targets[@]}"; do
  seeds="tests/fuzz/corpus/${target%_fuzz}"
  work=$(mktemp -d)
  [ -d "$seeds" ] || seeds=$(mktemp -d)
  log="$artifacts/$target.log"
  if "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$artifacts/$target-" -print_final_stats=1 "$work" "$seeds" >"$log" 2>&1; then
    runs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' || echo "?")
    echo "fuzz $target: $runs executions in ${seconds}s, no crash"
  else
    echo "fuzz $target: CRASH (see $log)"
    tail -30 "$log"
    failed=1
  fi
  rm -rf "$work"
done
exit $failed
