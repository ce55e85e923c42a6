#!/usr/bin/env bash
# Builds the native unit and contract tests in build/sanitize with
# AddressSanitizer and UndefinedBehaviorSanitizer (every undefined-behaviour
# report is fatal) and runs them with ctest. Any report fails its test, so
# the summary line says whether the suite is clean.
set -uo pipefail
cd "$(dirname "$0")/../.."
build=${SANITIZE_BUILD:-build/sanitize}
jobs=${SANITIZE_JOBS:-2}
compiler=${SANITIZE_CXX:-clang++}
case "$compiler" in
  clang++*) cc=${compiler/clang++/clang} ;;
  *) cc=${compiler/g++/gcc} ;;
esac

CC=$cc CXX=$compiler cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVRL_SANITIZE=ON >/dev/null || exit 1
cmake --build "$build" -j"$jobs" || exit 1

# Leaks count too; a report stops the test at once with a non-zero exit.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:halt_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
log="$build/ctest.log"
ctest --test-dir "$build" -j"$jobs" --output-on-failure --timeout 600 >"$log" 2>&1
status=$?
# The failed tests, if any, and ctest's own summary.
grep -E '\*\*\*Failed|\*\*\*Exception|\*\*\*Timeout|SEGFAULT|Subprocess aborted|^[0-9]+% tests passed' "$log" | tail -40
passed=$(grep -Ec ' Passed +[0-9.]+ sec' "$log")
failed=$(grep -Ec '\*\*\*Failed|\*\*\*Exception|\*\*\*Timeout|SEGFAULT|Subprocess aborted' "$log")
echo "sanitize: $passed passed, $failed failed (log: $log)"
exit $status
