# Helpers for the cases of the installer and its start-up: the carried fee
# table files, the practice as the suite's other programs leave it, and
# pictures of single windows.

fee_table_names() {
  printf '%s\n' Dpd_c_34.DB Dpd_c_34.PX Dpd_f_34.DB Dpd_f_34.PX Dpd_f_34.XG0 Dpd_f_34.YG0
}

# The folder of the carried files, from the Windows build's CMake cache.
carried_folder() {
  sed -n 's/^VRL_FEE_TABLE_DIR:PATH=//p' "$E2E_BUILD/CMakeCache.txt"
}

# expect_carried_files <windows folder> <name>...: each file there is
# byte-identical to the carried one.
expect_carried_files() {
  local folder=$1 name carried
  shift
  carried=$(carried_folder)
  [ -d "$carried" ] || { fail "no carried fee tables at '$carried'"; return; }
  for name in "$@"; do
    if cmp -s "$(host_path "$folder\\$name")" "$carried/$name"; then
      note "ok: $name is the carried file"
    else
      fail "$name in $folder is not the carried file"
    fi
  done
}

# expect_data_files <name>...: C:\Virelle\Data holds exactly these names.
expect_data_files() {
  expect_eq "$(list_folder 'C:\Virelle\Data' | tr '\n' ' ')" \
    "$(printf '%s\n' "$@" | sort | tr '\n' ' ')" "the files in C:\\Virelle\\Data"
}

# updates_already_launched: the practice settings record this program's
# update as launched today, as when another program of the suite started
# it. Otherwise its first start launches a hidden copy of itself, which
# outlives it and holds the data lock.
updates_already_launched() {
  put_text 'C:\Virelle\VRLPRC.INI' <<EOF2
[RunOnce]
SDR134=$(date '+%d/%m/%Y')
EOF2
}

# window_shot <name> <window id>: the window's part of the screen, into
# the case's artefacts (Xvfb gives no picture of a Wine window by itself).
window_shot() {
  local WINDOW X Y WIDTH HEIGHT SCREEN geometry
  sleep 0.3  # the window paints itself first
  geometry=$(xdotool getwindowgeometry --shell "$2" 2>/dev/null) ||
    { fail "no picture $1: the window is gone"; return 1; }
  eval "$geometry"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$E2E_ARTIFACTS/$1.png" 2>/dev/null
}

# drives_of_the_dialog_example: besides C: (labelled SYSTEM) and Wine's Z:,
# a CD-ROM drive E: labelled MYCD, a network drive F: labelled NETF whose
# connection Wine cannot tell, and a floppy drive H:. Drive types are read
# when the wineserver starts, so it is started again.
drives_of_the_dialog_example() {
  local letter root
  printf 'SYSTEM' >"$WINEPREFIX/drive_c/.windows-label"
  for letter in e f h; do
    root=$(dirname "$WINEPREFIX")/drive_$letter
    mkdir -p "$root"
    ln -sfn "$root" "$WINEPREFIX/dosdevices/$letter:"
  done
  printf 'MYCD' >"$(dirname "$WINEPREFIX")/drive_e/.windows-label"
  printf 'NETF' >"$(dirname "$WINEPREFIX")/drive_f/.windows-label"
  give_to_case "$WINEPREFIX/drive_c/.windows-label"
  wine_reg add 'HKLM\Software\Wine\Drives' /v e: /t REG_SZ /d cdrom /f >/dev/null 2>&1
  wine_reg add 'HKLM\Software\Wine\Drives' /v f: /t REG_SZ /d network /f >/dev/null 2>&1
  wine_reg add 'HKLM\Software\Wine\Drives' /v h: /t REG_SZ /d floppy /f >/dev/null 2>&1
  wine_as_case wineserver -k
  wine_as_case wineserver -w
  wine_start_server || give_up "the wineserver did not start again"
}
