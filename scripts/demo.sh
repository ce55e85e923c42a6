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
source tests/wine/lib.sh
source tests/wine/gui.sh

[ -f "$EXE" ] || { echo "no $EXE: run make windows first" >&2; exit 2; }

rm -rf "$DEMO" && mkdir -p "$DEMO"
wine_setup || { echo "Wine could not be set up" >&2; exit 2; }
export WINEPREFIX=$DEMO/prefix
cp -a "$VRL_WINE_TEMPLATE/pfx" "$WINEPREFIX"

virelle=$WINEPREFIX/drive_c/Virelle
mkdir -p "$virelle"
printf '[Virelle]\r\nWD=C:\r\n' >"$virelle/VRL.INI"
cp "$EXE" "$virelle/VRL_DPD134.EXE"
wine_start_server || { echo "the wineserver did not start" >&2; exit 2; }

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
    gui_screenshot "$shot" "$id" || gui_screenshot "$shot"
    shots+=("$shot  (window \"$title\", after $(($(date +%s%3N) - started)) ms)")
    # A message box waits for an answer; Enter gives its default button.
    if xdotool search --onlyvisible --pid "$program" --class '#32770' 2>/dev/null | grep -qx "$id"; then
      gui_keys "$id" Return
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
  gui_screenshot "$DEMO/screen-at-end.png"
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
