#!/usr/bin/env bash
# Runs the end-to-end cases, tests/e2e/cases/*.sh, against the real Windows
# build under Wine and Xvfb:
#
#   tests/e2e/run.sh [case name or glob...]     e.g. run.sh 'startup_*'
#
# Each case runs in a shell of its own with a fresh copy of the template
# prefix, its own Xvfb and persistent wineserver (tests/wine/lib.sh), the
# case helpers (tests/e2e/lib.sh) and its artefact folder
# build/artifacts/e2e/<case>/ (output.log, wine.log, screenshots). A case
# passes when none of its checks failed. Ends with "N passed, N failed".
# VRL_WINE_KEEP=1 keeps the prefixes.
set -uo pipefail

cd "$(dirname "$0")/../.."
export E2E_ROOT=$PWD
export E2E_BUILD=${E2E_BUILD:-$E2E_ROOT/build/windows}
export E2E_PRODUCT=${E2E_PRODUCT:-$E2E_BUILD/VRL_DPD134.exe}
ARTIFACTS=$E2E_ROOT/build/artifacts/e2e
CASE_LIMIT=${E2E_CASE_LIMIT:-300}

[ -f "$E2E_PRODUCT" ] || { echo "no $E2E_PRODUCT: run make windows" >&2; exit 2; }

cases=()
for pattern in "${@:-*}"; do
  for file in tests/e2e/cases/$pattern.sh; do
    [ -f "$file" ] && cases+=("$file")
  done
done
[ ${#cases[@]} -gt 0 ] || { echo "no case matches: $*" >&2; exit 2; }

passed=0
failed=0
failed_names=()
for file in "${cases[@]}"; do
  name=$(basename "$file" .sh)
  artifacts=$ARTIFACTS/$name
  rm -rf "$artifacts" && mkdir -p "$artifacts"
  started=$SECONDS
  # timeout ends the case and every program it left running.
  E2E_CASE=$name E2E_ARTIFACTS=$artifacts timeout --kill-after=10 "$CASE_LIMIT" bash -c '
      set -u
      source tests/wine/lib.sh
      source tests/wine/gui.sh
      source tests/e2e/lib.sh
      begin_case
      source "$1"
      [ "$E2E_FAILURES" -eq 0 ]' case "$file" </dev/null >"$artifacts/output.log" 2>&1
  rc=$?
  seconds=$((SECONDS - started))
  if [ $rc -eq 0 ]; then
    passed=$((passed + 1))
    printf 'PASS %-40s %3d s\n' "$name" "$seconds"
  else
    failed=$((failed + 1))
    failed_names+=("$name")
    printf 'FAIL %-40s %3d s   see %s\n' "$name" "$seconds" "${artifacts#"$E2E_ROOT"/}"
    [ $rc -eq 124 ] && echo "    | (stopped after $CASE_LIMIT s)"
    sed 's/^/    | /' "$artifacts/output.log" | tail -40
  fi
done

[ $failed -gt 0 ] && echo "failed: ${failed_names[*]}"
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
