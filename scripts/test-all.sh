#!/usr/bin/env bash
# Runs every test of the project on builds that exist already (make test
# builds them first): the native unit and contract tests, the contract tests
# and the end-to-end tests under Wine, the fuzzers, and the unit tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer. Prints a summary and
# ends with the line "N passed, N failed"; exits non-zero on any failure.
#
#   scripts/test-all.sh [stage...]   stages: native wine-contract e2e fuzz sanitize
set -uo pipefail

cd "$(dirname "$0")/.."
ROOT=$PWD
NATIVE=${NATIVE:-$ROOT/build/native}
# The Windows build the Wine stages run: build/windows, or build/windows64
# where 32-bit programs cannot run (tests/wine/lib.sh decides and says so).
source tests/wine/lib.sh || exit 2
WINDOWS=${WINDOWS:-$VRL_WINE_BUILD}
LOGS=$ROOT/build/artifacts/test-logs
mkdir -p "$LOGS"

all_stages=(native wine-contract e2e fuzz sanitize)
stages=("${@:-${all_stages[@]}}")

# Upper bounds per stage, far above a normal run, so a hang fails the stage
# instead of the whole run.
declare -A limit=([native]=900 [wine-contract]=900 [e2e]=1800 [fuzz]=900 [sanitize]=2400)

# The command of a stage; nothing when the stage's runner does not exist yet.
stage_command() {
  case $1 in
    native) echo "ctest --test-dir '$NATIVE' --output-on-failure --timeout 300" ;;
    wine-contract)
      if [ -x tests/contract/run-under-wine.sh ]; then
        echo "tests/contract/run-under-wine.sh '$WINDOWS/contract_tests.exe'"
      fi ;;
    e2e) echo "tests/e2e/run.sh" ;;
    fuzz) if [ -x tests/fuzz/run.sh ]; then echo "tests/fuzz/run.sh"; fi ;;
    sanitize) if [ -x tests/sanitize/run.sh ]; then echo "tests/sanitize/run.sh"; fi ;;
    *) echo "unknown stage '$1'" >&2; return 2 ;;
  esac
}

# The passed and failed counts a stage's log reports: our own scripts end
# with "N passed, N failed"; ctest, the fuzz runner and GoogleTest print
# their own summaries.
# Prints nothing when the log has no counts.
stage_counts() {
  local log=$1 line
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -1)
  if [ -n "$line" ]; then
    sed -E 's/^([0-9]+) passed, ([0-9]+) failed$/\1 \2/' <<<"$line"
    return
  fi
  if grep -q '^No tests were found' "$log"; then echo "0 0"; return; fi
  # The fuzz runner: one line per target.
  if grep -qE '^fuzz [^ ]+: ' "$log"; then
    echo "$(grep -cE '^fuzz [^ ]+: .*no crash$' "$log") $(grep -cE '^fuzz [^ ]+: CRASH' "$log")"
    return
  fi
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [ -n "$line" ]; then
    local failed total
    failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    echo "$((total - failed)) $failed"
    return
  fi
  local passed failed
  passed=$(grep -E '^\[  PASSED  \] [0-9]+ test' "$log" | sed -E 's/.*\] ([0-9]+) .*/\1/' |
           awk '{s+=$1} END {print s+0}')
  failed=$(grep -E '^\[  FAILED  \] [0-9]+ test' "$log" | sed -E 's/.*\] ([0-9]+) .*/\1/' |
           awk '{s+=$1} END {print s+0}')
  if [ "$passed" -gt 0 ] || [ "$failed" -gt 0 ]; then echo "$passed $failed"; fi
}

total_passed=0
total_failed=0
summary=()
started=$SECONDS
for stage in "${stages[@]}"; do
  command=$(stage_command "$stage") || exit 2
  if [ -z "$command" ]; then
    summary+=("$(printf '%-14s skipped (not present yet)' "$stage")")
    continue
  fi
  log=$LOGS/$stage.log
  echo "=== $stage: $command"
  stage_start=$SECONDS
  # timeout ends the stage and everything it started (Xvfb, Wine programs).
  timeout --kill-after=30 "${limit[$stage]}" bash -c "$command" </dev/null 2>&1 |
    tee "$log"
  rc=${PIPESTATUS[0]}
  seconds=$((SECONDS - stage_start))
  counts=$(stage_counts "$log")
  if [ -n "$counts" ]; then
    read -r passed failed <<<"$counts"
  else
    # A stage that reports no counts is one test.
    passed=$((rc == 0)) failed=$((rc != 0))
  fi
  # A stage that fails without saying which test failed counts as one failure.
  if [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
  note=""
  if [ "$rc" -eq 124 ]; then note=" (stopped after ${limit[$stage]} s)"; fi
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  summary+=("$(printf '%-14s %5d passed, %3d failed, exit %d, %4d s%s' \
                "$stage" "$passed" "$failed" "$rc" "$seconds" "$note")")
done

echo
echo "=== Summary (logs in ${LOGS#"$ROOT"/}/, $((SECONDS - started)) s in all)"
printf '%s\n' "${summary[@]}"
arch_note=$(wine_arch_note)
[ -z "$arch_note" ] || echo "Wine stages: $arch_note (${WINDOWS#"$ROOT"/})"
echo "$total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ]
