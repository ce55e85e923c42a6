#!/usr/bin/env bash
# The demonstration (make run): a fresh Wine machine with a practice on C:
# (C:\Virelle\VRL.INI holding [Virelle] WD=C:), the built program copied to
# C:\Virelle\VRL_DPD134.EXE and run under Xvfb. Takes a screenshot of each
# window it and the programs it starts show, answers a message box with
# Enter so the run never waits for a person, and prints what they did.
set -uo pipefail

cd "$(dirname "$0")/.."
ROOT=$PWD
CARRIED=$ROOT/build/native/fee_tables
DEMO=$ROOT/build/demo
source tests/wine/lib.sh
source tests/wine/gui.sh
source tests/e2e/lib.sh  # case_programs
# The Windows build this machine's Wine runs (tests/wine/lib.sh chooses).
EXE=$VRL_WINE_BUILD/VRL_DPD134.exe

[ -f "$EXE" ] || { echo "no $EXE: run make run, which builds it" >&2; exit 2; }

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

# shoot <png> <window id>: the window's part of the screen (a Wine window
# does not give X a picture of its own).
shoot() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$2" 2>/dev/null)" || return 1
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1" 2>/dev/null
}

# Watch the windows of the program and of those it starts until all of
# them have ended (two minutes at
# most). The program's message boxes are titled "Virelle", its refusal box
# "Unsupported operating system"; Enter gives their default button.
declare -A seen=() started_programs=()
shots=() programs=()
while true; do
  running=$(case_programs)
  [ -z "$running" ] && ! kill -0 "$program" 2>/dev/null && break
  if [ $(($(date +%s%3N) - started)) -gt 120000 ]; then
    echo "Programs still run after two minutes: ending them."
    kill $running "$program" 2>/dev/null
    break
  fi
  for pid in $running; do
    [ -n "${started_programs[$pid]:-}" ] && continue
    started_programs[$pid]=1
    command_line=$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | sed 's/ *$//')
    programs+=("$command_line  (seen after $(($(date +%s%3N) - started)) ms)")
  done
  for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    [ -n "${seen[$id]:-}" ] && continue
    pid=$(xdotool getwindowpid "$id" 2>/dev/null) || continue
    grep -qx "$pid" <<<"$running" || continue
    seen[$id]=1
    title=$(xdotool getwindowname "$id" 2>/dev/null)
    shot=$DEMO/window-${#shots[@]}.png
    sleep 0.3  # let it paint
    shoot "$shot" "$id" || gui_screenshot "$shot"
    shots+=("$shot  (window \"$title\", after $(($(date +%s%3N) - started)) ms)")
    if [ "$title" == "Virelle" ] || [ "$title" == "Unsupported operating system" ]; then
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
echo "Exit code of C:\\Virelle\\VRL_DPD134.EXE: $exit_code; every program had ended after $elapsed ms"
echo "Programs that ran:"
printf '  %s\n' "${programs[@]}"
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
