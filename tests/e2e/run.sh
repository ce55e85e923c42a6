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
#
# The build run is build/windows under 32-bit Wine, or, on a machine that
# cannot run 32-bit programs, build/windows64 under 64-bit Wine (the choice
# of tests/wine/lib.sh, which says so); E2E_BUILD names another one.
set -uo pipefail

cd "$(dirname "$0")/../.."
source tests/wine/lib.sh || exit 2
export E2E_ROOT=$PWD
export E2E_BUILD=${E2E_BUILD:-$VRL_WINE_BUILD}
export E2E_PRODUCT=${E2E_PRODUCT:-$E2E_BUILD/VRL_DPD134.exe}
ARTIFACTS=$E2E_ROOT/build/artifacts/e2e
CASE_LIMIT=${E2E_CASE_LIMIT:-300}

arch_note=$(wine_arch_note)
[ -z "$arch_note" ] || echo "$arch_note"
if [ ! -f "$E2E_PRODUCT" ]; then
  target=windows
  [ "$E2E_BUILD" != "$E2E_ROOT/build/windows64" ] || target=windows64
  echo "no $E2E_PRODUCT: run make $target" >&2
  exit 2
fi

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
[ -z "$arch_note" ] || echo "$arch_note ($E2E_BUILD)"
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
