#!/usr/bin/env bash
# Runs the cross-built contract tests in fresh Wine prefixes, once as the
# calling user and, when that is root, once more as an ordinary user (as
# root Wine ignores read-only attributes, unlike Windows). Fails when any
# test fails or a run does not reach its end.
#   tests/contract/run-under-wine.sh build/windows/contract_tests.exe [gtest flags]
set -euo pipefail
exe="${1:?usage: run-under-wine.sh <contract_tests.exe> [gtest flags]}"
shift
[ -f "$exe" ] || { echo "no such program: $exe" >&2; exit 2; }
exe="$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")"

source "$(dirname "$0")/../wine/lib.sh"
wine_setup

# run_pass LABEL [UID] GTEST-FLAGS...: one run in a fresh prefix.
run_pass() {
    local label="$1" uid="$2"
    shift 2
    [ -z "$uid" ] || wine_use_uid "$uid"
    wine_new_prefix >/dev/null
    # Run from a C:\ path, so the program sees no Z:\ path of the host.
    mkdir -p "$(wine_drive_c)/contract"
    cp "$exe" "$(wine_drive_c)/contract/vrl_contract.exe"
    [ -z "$uid" ] || chown -R "$uid:$uid" "$(wine_drive_c)/contract"
    wine_start_server
    local log rc=0
    log="$(mktemp)"
    echo "=== contract tests under Wine: $label"
    wine_run_exe 300 'C:\contract\vrl_contract.exe' "$@" >"$log" 2>&1 || rc=$?
    cat "$log"
    if grep -q '^\[  FAILED  \]' "$log" && [ "$rc" -eq 0 ]; then rc=1; fi
    if ! grep -q '^\[  PASSED  \]' "$log"; then
        echo "run-under-wine: the $label run did not reach its end (exit code $rc)" >&2
        [ "$rc" -ne 0 ] || rc=1
    fi
    rm -f "$log"
    wine_end_case
    return "$rc"
}

status=0
run_pass "as $(id -un)" "" "$@" || status=1
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
    run_pass "as uid 65534" 65534 "$@" || status=1
fi
exit "$status"
