#!/usr/bin/env bash
# The demonstration (make run): a fresh Wine machine with a practice on C:
# (C:\Virelle\VRL.INI holding [Virelle] WD=C:), the built program copied to
# C:\Virelle\VRL_DPD134.EXE and run under Xvfb. Takes a screenshot of each
# window the program shows, answers a message box with Enter so the run
# never waits for a person, and prints what the program did.
set -uo pipefail

cd "$(dirname "$0")/.."
ROOT=$PWD
EXE=$ROOT/build/windows/VRL_DPD134.exe
CARRIED=$ROOT/build/native/fee_tables
DEMO=$ROOT/build/demo
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export E2E_ROOT=$ROOT E2E_ARTIFACTS=$DEMO
source tests/e2e/wine.sh

[ -f "$EXE" ] || { echo "no $EXE: run make windows first" >&2; exit 2; }

rm -rf "$DEMO" && mkdir -p "$DEMO"
start_x_server || exit 2
trap 'stop_wineserver; stop_x_server' EXIT
ensure_template "$ROOT/build/e2e/template" || { echo "could not make a Wine prefix" >&2; exit 2; }
export WINEPREFIX=$DEMO/prefix
new_case_prefix "$ROOT/build/e2e/template" "$WINEPREFIX"

virelle=$WINEPREFIX/drive_c/Virelle
mkdir -p "$virelle"
printf '[Virelle]\r\nWD=C:\r\n' >"$virelle/VRL.INI"
cp "$EXE" "$virelle/VRL_DPD134.EXE"
start_wineserver || { echo "the wineserver did not start" >&2; exit 2; }

echo "Running C:\\Virelle\\VRL_DPD134.EXE on the demonstration machine $WINEPREFIX"
cd "$virelle"
started=$(date +%s%3N)
wine 'C:\Virelle\VRL_DPD134.EXE' >"$DEMO/wine.log" 2>&1 &
program=$!  # the Unix process of the Windows program: its windows carry this pid
cd "$ROOT"

# Watch the program's windows until it ends (two minutes at most).
declare -A seen=()
shots=()
while kill -0 "$program" 2>/dev/null; do
  if [ $(($(date +%s%3N) - started)) -gt 120000 ]; then
    echo "The program still runs after two minutes: ending it."
    kill "$program"
    break
  fi
  for id in $(xdotool search --onlyvisible --pid "$program" 2>/dev/null); do
    [ -n "${seen[$id]:-}" ] && continue
    seen[$id]=1
    title=$(xdotool getwindowname "$id" 2>/dev/null)
    shot=$DEMO/window-${#shots[@]}.png
    sleep 0.3  # let it paint
    import -window "$id" "$shot" 2>/dev/null || capture_screen "$shot"
    shots+=("$shot  (window \"$title\", after $(($(date +%s%3N) - started)) ms)")
    # A message box waits for an answer; Enter gives its default button.
    if xdotool search --onlyvisible --pid "$program" --class '#32770' 2>/dev/null | grep -qx "$id"; then
      xdotool windowfocus --sync "$id" 2>/dev/null
      xdotool key Return
      shots[-1]+="; answered with Enter"
    fi
  done
  sleep 0.1
done
wait "$program"
exit_code=$?
elapsed=$(($(date +%s%3N) - started))

echo
echo "Exit code: $exit_code (after $elapsed ms)"
if [ ${#shots[@]} -eq 0 ]; then
  capture_screen "$DEMO/screen-at-end.png"
  echo "Windows: the program showed none (the screen at its end: build/demo/screen-at-end.png)"
else
  echo "Windows (screenshots):"
  printf '  %s\n' "${shots[@]#"$ROOT"/}"
fi
echo "Files in C:\\Virelle\\Data\\:"
data=$(find "$virelle" -maxdepth 1 -iname data -type d -print -quit)
if [ -z "$data" ]; then
  echo "  (the folder does not exist)"
else
  count=0
  for file in "$data"/*; do
    [ -f "$file" ] || continue
    count=$((count + 1))
    name=$(basename "$file")
    if [ -f "$CARRIED/$name" ] && cmp -s "$file" "$CARRIED/$name"; then
      same="equal to the carried file"
    elif [ -f "$CARRIED/$name" ]; then
      same="DIFFERS from the carried file"
    else
      same="not a carried file"
    fi
    printf '  %-14s %8d bytes  %s\n' "$name" "$(stat -c %s "$file")" "$same"
  done
  [ $count -eq 0 ] && echo "  (none)"
fi
echo "Machine: $WINEPREFIX (C: is drive_c/); Wine's messages: build/demo/wine.log"
