# Helpers for the cases of the practice data: practice tables made by the
# table engine (the native practice_tables tool), read back by pxlib
# (px_dump), file attributes as Windows reports them, and the program's
# message boxes.
#
# E2E_NATIVE names the native build that holds the tools (default
# build/native).

PRACTICE_TOOLS=${E2E_NATIVE:-$E2E_ROOT/build/native}/tests/e2e/fixtures
[ -x "$PRACTICE_TOOLS/practice_tables" ] && [ -x "$PRACTICE_TOOLS/px_dump" ] ||
  give_up "no practice_tables and px_dump in $PRACTICE_TOOLS: build the native targets"

# updates_already_run: [RunOnce] SDR134 dated today in the practice settings
# (appended), so that the start-up does not launch C:\Virelle\VRL_DPD134.EXE
# a second time beside the run under test.
updates_already_run() {
  local host
  host=$(host_path 'C:\Virelle\VRLPRC.INI')
  printf '[RunOnce]\r\nSDR134=%s\r\n' "$(date +%d/%m/%Y)" >>"$host"
  give_to_case "$host"
}

# make_table <kind> <windows folder> <file> [argument...]: kinds and
# arguments as practice_tables takes them (control, control-plain, users,
# plain).
make_table() {
  local kind=$1 folder=$2 file=$3 host name
  shift 3
  make_folder "$folder"
  host=$(host_path "$folder")
  "$PRACTICE_TOOLS/practice_tables" "$kind" "$host" "$file" "$@" || give_up "cannot make $file"
  for name in "$host"/*; do give_to_case "$name"; done
}

# damage_table <windows path> truncated|garbage-header|wrong-block-links
damage_table() {
  "$PRACTICE_TOOLS/practice_tables" damage "$(host_path "$1")" "$2" || give_up "cannot damage $1"
}

# engine_message <windows path>: the engine's message for opening the table
# there, CR and LF each as "|" (as window_text shows them).
engine_message() {
  "$PRACTICE_TOOLS/practice_tables" message "$(host_path "$1")" "$1" ||
    fail "the engine's message for $1 could not be had"
}

# --- two engine writers (append_rows.exe) ----------------------------------

# start_writer <A|B> <windows data folder> <rows each>: starts writer A or
# B (C:\e2e\append_rows.exe, installed by the case) on CONTROL.DB there,
# in the background, on the current prefix.
WRITER_PIDS=()
start_writer() {
  wine_run_exe 120 'C:\e2e\append_rows.exe' "$2" CONTROL.DB "$1" "$3" >>"$E2E_ARTIFACTS/wine.log" 2>&1 &
  WRITER_PIDS+=($!)
}

# finish_writers <windows data folder> <rows each>: once writers A and B
# both have the table open, lets them post; waits for both; checks that
# each ended with exit code 0 having posted all its rows ("posted N ticks
# FIRST LAST"), and that each one's first post came before the other's
# last, so that the two wrote at the same time.
finish_writers() {
  local data=$1 each=$2 i rc posted_a first_a last_a posted_b first_b last_b _
  for _ in $(seq 600); do
    is_file "$data\\A.ready" && is_file "$data\\B.ready" && break
    sleep 0.1
  done
  is_file "$data\\A.ready" && is_file "$data\\B.ready" || give_up "the writers did not open the table"
  touch "$(host_path "$data")/go"
  for i in "${!WRITER_PIDS[@]}"; do
    rc=0
    wait "${WRITER_PIDS[$i]}" || rc=$?
    expect_eq "$rc" 0 "exit code of writer $((i + 1))"
  done
  WRITER_PIDS=()
  note "writer A: $(text_lines "$data\\A.done")"
  note "writer B: $(text_lines "$data\\B.done")"
  read -r _ posted_a _ first_a last_a < <(text_lines "$data\\A.done")
  read -r _ posted_b _ first_b last_b < <(text_lines "$data\\B.done")
  expect_eq "$posted_a" "$each" "rows posted by writer A"
  expect_eq "$posted_b" "$each" "rows posted by writer B"
  if [[ "${first_a:-}${last_a:-}${first_b:-}${last_b:-}" =~ ^[0-9]+$ && -n "${last_a:-}" &&
    -n "${last_b:-}" ]] && [ "$first_a" -le "$last_b" ] && [ "$first_b" -le "$last_a" ]; then
    note "ok: the posts overlapped"
  else
    fail "the two writers did not post at the same time"
  fi
}

# expect_writers_table <windows path of CONTROL.DB> <rows each> <px_dump
# row>...: pxlib reads the table whole with its primary index, holding the
# given rows and every row of writers A and B once, and the engine opens it.
expect_writers_table() {
  local control=$1 each=$2 read_back writer n
  shift 2
  read_back=$(px_rows "$control")
  expect_eq "$(head -2 <<<"$read_back" | paste -sd ' ')" \
    "index accepted records $(($# + 2 * each))" "pxlib's header of $control"
  expect_eq "$(tail -n +3 <<<"$read_back" | LC_ALL=C sort)" "$(
    {
      printf '%s\n' "$@"
      for writer in A B; do
        for n in $(seq "$each"); do printf 'row %s%d|%d\n' "$writer" "$n" "$n"; done
      done
    } | LC_ALL=C sort
  )" "the rows pxlib reads (in byte order)"
  # The order pxlib reads them in is the key's (case-blind).
  expect_eq "$(tail -n +3 <<<"$read_back" | cut -d'|' -f1 | LC_ALL=C sort -f -c 2>&1 && echo sorted)" \
    "sorted" "the order of the rows pxlib reads"
  expect_eq "$(engine_message "$control")" "" "the engine's message opening $control"
}

# px_rows <windows path of the .DB>: pxlib's reading of the table with its
# primary index (px_dump's lines); fails the case when pxlib complains.
px_rows() {
  local db px
  db=$(host_path "$1")
  px=${db%.*}.PX
  [ -f "$px" ] || px=$(find "$(dirname "$db")" -maxdepth 1 -iname "$(basename "${db%.*}").px" -print -quit)
  "$PRACTICE_TOOLS/px_dump" "$db" "$px" || fail "pxlib does not read $1 whole"
}

# dos_attributes <windows path>: the attribute letters Windows' attrib shows,
# in alphabetical order (for example "HS" for hidden and system).
dos_attributes() {
  (cd / && wine_as_case wine cmd /c attrib "$1") 2>/dev/null | tr -d '\r' | head -1 |
    sed -E 's/^(.{1,11}).*/\1/' | tr -d ' ' | fold -w1 | sort | tr -d '\n'
}

# expect_box <text as window_text shows it, CR and LF each as "|"> [buttons]:
# the program's message box "Virelle" shows that text and those buttons
# (default OK); it is left open for the case to answer. Sets WINDOW_ID.
expect_box() {
  local buttons=${2:-OK} button
  wait_window 'Virelle' || return 1
  window_text 'Virelle'
  printf '%s\n' "$WINDOW_TEXT" >>"$E2E_ARTIFACTS/boxes.txt"
  # 65535 is the message text's control in a system message box.
  expect_line "$WINDOW_TEXT" "$(printf 'child\tclass=Static\tid=65535\ttext=%s' "$1")" "the box"
  for button in $buttons; do
    expect_match "$WINDOW_TEXT" $'child\tclass=Button\tid=[0-9]+\ttext=&?'"$button"$'(\n|$)' "a button $button"
  done
}

# expect_no_box: no box "Virelle" came up while the program ran.
expect_no_box() {
  if gui_window_exists 'Virelle'; then fail "a box 'Virelle' is shown"; else note "ok: no box"; fi
}
