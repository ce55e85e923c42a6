# Helpers for the cases of the start-up's drive, date, hand-over, update and
# auto-start phases: extra drives of the prefix, the message boxes of the
# start-up, and stand-ins for the suite's other programs.

source "$E2E_ROOT/tests/e2e/installer_helpers.sh"

# case_folder: a host folder of the case, outside the prefix, for drives
# and shares.
case_folder() { dirname "$WINEPREFIX"; }

# map_drive <letter> <host folder>: the prefix's drive <letter>: is that
# folder (a fixed disk for Wine), which need not exist (then the letter has
# no root).
map_drive() {
  ln -sfn "$2" "$WINEPREFIX/dosdevices/$(tr '[:upper:]' '[:lower:]' <<<"$1"):"
}

# restart_wineserver: drive types and network providers are read when the
# wineserver starts.
restart_wineserver() {
  wine_as_case wineserver -k
  wine_as_case wineserver -w
  wine_start_server || give_up "the wineserver did not start again"
}

# wait_box [seconds]: waits for the next "Virelle" box; sets BOX_TEXT to
# its message (line breaks shown as |) and WINDOW_ID to the box.
BOX_TEXT=
wait_box() {
  BOX_TEXT=
  wait_window 'Virelle' "${1:-60}" || return 1
  window_text 'Virelle'
  # 65535 is the message text's control in a system message box.
  BOX_TEXT=$(sed -n $'s/^child\tclass=Static\tid=65535\ttext=//p' <<<"$WINDOW_TEXT" | head -1)
}

# answer_box <expected text> <picture name> <key>...: the next box reads the
# text; it is photographed and answered with the keys.
answer_box() {
  local text=$1 picture=$2
  shift 2
  wait_box || return 1
  expect_eq "$BOX_TEXT" "$text" "the box's text"
  window_shot "$picture" "$WINDOW_ID"
  gui_keys "$WINDOW_ID" "$@"
}

# stand_in <windows path>: a stand-in program there; it records each start
# in <path>.log.
stand_in() { install_program "$E2E_BUILD/stand_in.exe" "$1"; }

# stand_in_starts <windows path>: the start lines the stand-in recorded.
stand_in_starts() { text_lines "$1.log" | grep '^start' || true; }

# wait_stand_in <windows path> <count> [seconds]: until that many starts.
wait_stand_in() {
  local until=$((SECONDS + ${3:-20}))
  while [ "$(stand_in_starts "$1" | grep -c .)" -lt "$2" ]; do
    [ "$SECONDS" -ge "$until" ] && return 1
    sleep 0.2
  done
}

# ini_sections <windows path>: the section names, one a line.
ini_sections() { text_lines "$1" | sed -n 's/^\[\(.*\)\]$/\1/p'; }

# today: the date as the start-up writes it.
today() { date '+%d/%m/%Y'; }
