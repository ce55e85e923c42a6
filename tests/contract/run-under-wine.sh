#!/usr/bin/env bash
# Runs the cross-built contract tests in a fresh Wine prefix; fails when any
# test fails (or the program does not run to its end).
#   tests/contract/run-under-wine.sh build/windows/contract_tests.exe [gtest flags]
set -euo pipefail
exe="${1:?usage: run-under-wine.sh <contract_tests.exe> [gtest flags]}"
shift
[ -f "$exe" ] || { echo "no such program: $exe" >&2; exit 2; }

source "$(dirname "$0")/../wine/lib.sh"
wine_setup
wine_new_prefix >/dev/null
wine_start_server

# Run from C:\ paths, so the program sees no Z:\tmp\ path of the host.
mkdir -p "$(wine_drive_c)/contract"
cp "$exe" "$(wine_drive_c)/contract/vrl_contract.exe"
log="$(mktemp)"
rc=0
wine_run_exe 300 'C:\contract\vrl_contract.exe' "$@" >"$log" 2>&1 || rc=$?
cat "$log"
if grep -q '^\[  FAILED  \]' "$log" && [ "$rc" -eq 0 ]; then
    rc=1
fi
if ! grep -q '^\[  PASSED  \]' "$log"; then
    echo "run-under-wine: the tests did not run to their end (exit code $rc)" >&2
    [ "$rc" -ne 0 ] || rc=1
fi
rm -f "$log"
exit "$rc"
