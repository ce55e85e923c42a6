#!/usr/bin/env bash
# Runs the end-to-end cases, tests/e2e/cases/*.sh, against the real Windows
# build under Wine and Xvfb:
#
#   tests/e2e/run.sh [case name or glob...]     e.g. run.sh 'startup_*'
#
# Every case gets a copy of one template prefix, its own persistent
# wineserver and its artefact folder build/artifacts/e2e/<case>/ (wine.log,
# output.log, screenshots). A case passes when it exits 0 after its checks.
# Ends with the line "N passed, N failed". E2E_KEEP=1 keeps the prefixes.
set -uo pipefail

cd "$(dirname "$0")/../.."
export E2E_ROOT=$PWD
export E2E_BUILD=${E2E_BUILD:-$E2E_ROOT/build/windows}
export E2E_PRODUCT=${E2E_PRODUCT:-$E2E_BUILD/VRL_DPD134.exe}
WORK=${E2E_WORK:-$E2E_ROOT/build/e2e}
ARTIFACTS=$E2E_ROOT/build/artifacts/e2e
CASE_LIMIT=${E2E_CASE_LIMIT:-300}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

source tests/e2e/wine.sh

[ -f "$E2E_PRODUCT" ] || { echo "no $E2E_PRODUCT: run make windows" >&2; exit 2; }

cases=()
for pattern in "${@:-*}"; do
  for file in tests/e2e/cases/$pattern.sh; do
    [ -f "$file" ] && cases+=("$file")
  done
done
[ ${#cases[@]} -gt 0 ] || { echo "no case matches: $*" >&2; exit 2; }

mkdir -p "$WORK" "$ARTIFACTS"
start_x_server || exit 2
trap stop_x_server EXIT
ensure_template "$WORK/template" || { echo "could not make the template prefix" >&2; exit 2; }

passed=0
failed=0
failed_names=()
for file in "${cases[@]}"; do
  name=$(basename "$file" .sh)
  artifacts=$ARTIFACTS/$name
  rm -rf "$artifacts" && mkdir -p "$artifacts"
  prefix=$WORK/cases/$name
  started=$SECONDS
  new_case_prefix "$WORK/template" "$prefix"
  # The case runs in a shell of its own with the helpers loaded; timeout
  # ends it and every program it left running.
  E2E_CASE=$name E2E_ARTIFACTS=$artifacts WINEPREFIX=$prefix \
    timeout --kill-after=10 "$CASE_LIMIT" bash -c '
      set -u
      source tests/e2e/lib.sh
      start_wineserver || give_up "the wineserver did not start"
      source "$1"
      [ "$E2E_FAILURES" -eq 0 ]' case "$file" </dev/null >"$artifacts/output.log" 2>&1
  rc=$?
  [ $rc -ne 0 ] && capture_screen "$artifacts/at-failure.png"
  WINEPREFIX=$prefix stop_wineserver
  [ "${E2E_KEEP:-0}" == 1 ] || rm -rf "$prefix"
  seconds=$((SECONDS - started))
  if [ $rc -eq 0 ]; then
    passed=$((passed + 1))
    printf 'PASS %-40s %3d s\n' "$name" "$seconds"
  else
    failed=$((failed + 1))
    failed_names+=("$name")
    [ $rc -eq 124 ] && echo "  (stopped after $CASE_LIMIT s)"
    printf 'FAIL %-40s %3d s   see %s\n' "$name" "$seconds" "${artifacts#"$E2E_ROOT"/}"
    sed 's/^/    | /' "$artifacts/output.log" | tail -40
  fi
done

[ $failed -gt 0 ] && echo "failed: ${failed_names[*]}"
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
