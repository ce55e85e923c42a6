# Helpers for the end-to-end cases. run.sh loads tests/wine/lib.sh,
# tests/wine/gui.sh and this file into each case's shell and calls
# begin_case; the case then sets up the machine, runs programs and checks
# what they left behind:
#
#   machine_with_practice_on_c
#   install_product 'C:\Virelle\VRL.EXE'
#   run_program 'C:\Virelle\VRL.EXE'
#   expect_eq "$LAST_EXIT" 0 "exit code"
#
# Windows paths are given as the program sees them (C:\...); host_path maps
# them into the case's Wine prefix.
#
# Set by run.sh: E2E_ROOT (repository), E2E_BUILD (the Windows build folder),
# E2E_PRODUCT (the executable), E2E_CASE (case name), E2E_ARTIFACTS (this
# case's artefact folder).

E2E_FAILURES=0
LAST_EXIT=

# begin_case: a display, a fresh prefix and its wineserver. At the end of
# the case the screen is kept when a check failed, then everything stops.
begin_case() {
  wine_setup || give_up "Wine could not be set up"
  trap end_case EXIT
  wine_new_prefix >/dev/null || give_up "no fresh prefix"
  wine_start_server || give_up "the wineserver did not start"
}

# as_user <uid>: a fresh machine whose Wine runs as that user, for a case
# that needs Windows-like permissions (as root, Wine ignores read-only
# files and folders). Call it first, before setting anything up.
as_user() {
  wine_end_case
  wine_use_uid "$1"
  wine_new_prefix >/dev/null || give_up "no fresh prefix"
  wine_start_server || give_up "the wineserver did not start"
}

end_case() {
  local rc=$?
  if [ "$rc" -ne 0 ] || [ "$E2E_FAILURES" -ne 0 ]; then
    gui_screenshot "$E2E_ARTIFACTS/at-failure.png"
  fi
  wine_cleanup
}

# --- reporting -------------------------------------------------------------

note() { echo "  $*"; }

fail() {
  echo "  FAIL: $*"
  E2E_FAILURES=$((E2E_FAILURES + 1))
}

# expect_eq <actual> <expected> <what>
expect_eq() {
  if [ "$1" == "$2" ]; then
    note "ok: $3 is '$2'"
  else
    fail "$3 is '$1', expected '$2'"
  fi
}

# expect_match <actual> <extended regex> <what>
expect_match() {
  if [[ $1 =~ $2 ]]; then
    note "ok: $3 matches /$2/"
  else
    fail "$3 is '$1', expected to match /$2/"
  fi
}

# expect_line <text> <line> <what>: one of the text's lines is exactly <line>.
expect_line() {
  if grep -qFx -- "$2" <<<"$1"; then
    note "ok: $3 has the line '$2'"
  else
    fail "$3 has no line '$2'"
  fi
}

# Stops the case at once (for a failed precondition that makes the rest
# meaningless).
give_up() {
  fail "$*"
  exit 1
}

# --- the prefix's file system ----------------------------------------------

# The host path of a Windows path of the prefix, found without regard to
# case as Windows does; components that do not exist yet are kept as given.
host_path() {
  local win=$1 drive rest host part next
  drive=$(tr '[:upper:]' '[:lower:]' <<<"${win:0:2}")
  rest=${win:2}
  host=$(readlink -f "$WINEPREFIX/dosdevices/$drive") || return 1
  rest=${rest//\\//}
  local IFS=/
  for part in $rest; do
    [ -z "$part" ] && continue
    next=""
    if [ -d "$host" ]; then
      next=$(find "$host" -mindepth 1 -maxdepth 1 -iname "$part" -print -quit 2>/dev/null)
    fi
    host=${next:-$host/$part}
  done
  echo "$host"
}

# give_to_case <host path>: the path and its folders up to the prefix get
# the prefix's owner, so a case that runs Wine as another user
# (wine_use_uid) can write what the case set up.
give_to_case() {
  local path=$1
  while [ "${#path}" -gt "${#WINEPREFIX}" ]; do
    chown --reference="$WINEPREFIX" "$path"
    path=$(dirname "$path")
  done
}

# put_text <windows path>: writes standard input there with CR LF line
# ends, creating the folders on the way.
put_text() {
  local host
  host=$(host_path "$1")
  mkdir -p "$(dirname "$host")"
  sed 's/\r*$/\r/' >"$host"
  give_to_case "$host"
}

# make_folder <windows path>
make_folder() {
  local host
  host=$(host_path "$1")
  mkdir -p "$host"
  give_to_case "$host"
}

is_file() { [ -f "$(host_path "$1")" ]; }
is_folder() { [ -d "$(host_path "$1")" ]; }

expect_file() {
  if is_file "$1"; then note "ok: $1 exists"; else fail "$1 does not exist"; fi
}
expect_no_file() {
  if is_file "$1"; then fail "$1 exists"; else note "ok: no file $1"; fi
}
expect_folder() {
  if is_folder "$1"; then note "ok: folder $1 exists"; else fail "folder $1 does not exist"; fi
}

# list_folder <windows path>: the names in the folder, one a line, sorted.
list_folder() {
  local host
  host=$(host_path "$1")
  [ -d "$host" ] && ls -1 "$host"
}

# The lines of a text file of the prefix without their CR; nothing when the
# file does not exist.
text_lines() {
  local host
  host=$(host_path "$1")
  [ -f "$host" ] && tr -d '\r' <"$host"
}

# expect_crlf <windows path>: every line ends in CR LF.
expect_crlf() {
  local host bare
  host=$(host_path "$1")
  [ -f "$host" ] || { fail "$1 does not exist"; return; }
  bare=$(grep -c $'[^\r]$' "$host")
  if [ "$bare" -eq 0 ] && [ "$(tail -c 2 "$host" | od -An -tx1 | tr -d ' ')" == "0d0a" ]; then
    note "ok: $1 has CR LF line ends"
  else
    fail "$1 has $bare lines without CR LF, or no final line end"
  fi
}

# ini_value <windows path> <section> <key>: the value, case-insensitive
# names as the private-profile functions compare them.
ini_value() {
  text_lines "$1" | awk -v section="$2" -v key="$3" '
    /^\[/ { inside = tolower($0) == "[" tolower(section) "]"; next }
    inside {
      eq = index($0, "=")
      if (eq > 0 && tolower(substr($0, 1, eq - 1)) == tolower(key)) { print substr($0, eq + 1); exit }
    }'
}

# --- times and the start-up log ----------------------------------------------

# expect_time_between <ms> <earliest ms> <latest ms> <what>: times as
# milliseconds since 1970, local time.
expect_time_between() {
  if [ -n "$1" ] && [ "$1" -ge "$2" ] && [ "$1" -le "$3" ]; then
    note "ok: $4 lies within the run"
  else
    fail "$4 (${1:-not a time}) is not between $2 and $3"
  fi
}

# A line of the start-up log: "DD/MM/YYYY HH:NN:SS.zzz, <elapsed>, <message>"
# with the elapsed milliseconds right-aligned in eight characters, or longer
# and unpadded.
STARTUP_LINE_TIME='[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}'
ELAPSED_FIELD='( {7}[0-9]| {6}[0-9]{2}| {5}[0-9]{3}| {4}[0-9]{4}| {3}[0-9]{5}| {2}[0-9]{6}| [0-9]{7}|[0-9]{8,})'

# startup_line_epoch_ms <line>: the line's time as milliseconds since 1970.
startup_line_epoch_ms() {
  local d=${1:0:2} m=${1:3:2} y=${1:6:4} clock=${1:11:12}
  date -d "$y-$m-$d $clock" '+%s%3N' 2>/dev/null
}

# run_file_epoch_ms <YYYYMMDDHHmmSSZZZ.TXT>
run_file_epoch_ms() {
  local n=$1
  date -d "${n:0:4}-${n:4:2}-${n:6:2} ${n:8:2}:${n:10:2}:${n:12:2}.${n:14:3}" '+%s%3N' 2>/dev/null
}

# startup_messages <windows path>: the message field of each line.
startup_messages() { text_lines "$1" | sed -E 's/^[^,]*, *[0-9]+, //'; }

# --- the machine -----------------------------------------------------------

# The practice of the default machine: data drive C: in the machine settings
# file, and the program folder C:\Virelle\.
machine_with_practice_on_c() {
  make_folder 'C:\Virelle'
  put_text 'C:\Virelle\VRL.INI' <<'EOF'
[Virelle]
WD=C:
EOF
}

# set_windows_version <wine name>: win7 (the default), win8, winxp, win98 ...
# 64-bit winecfg lists no 9x versions, though Wine reports them to a 64-bit
# process too; for those the value winecfg would write is written directly.
set_windows_version() {
  if [ "$VRL_WINE_ARCH" == win64 ] && [[ $1 =~ ^win(95|98|me)$ ]]; then
    note "64-bit Wine: $1 set as HKCU\Software\Wine Version (64-bit winecfg has no 9x);" \
      "a 64-bit build has no 9x VxD call gate, so its int 21h calls fail as on NT"
    wine_reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$1" /f >/dev/null 2>&1 ||
      give_up "cannot set the Windows version $1"
    return
  fi
  (cd / && wine_as_case wine winecfg -v "$1") >/dev/null 2>&1 || give_up "winecfg -v $1 failed"
}

# install_program <build output> <windows path>
install_program() {
  local source=$1 host
  [ -f "$source" ] || give_up "$source has not been built"
  host=$(host_path "$2")
  mkdir -p "$(dirname "$host")"
  cp "$source" "$host"
  give_to_case "$host"
}

# install_product <windows path>: the product, under the name a case needs.
install_product() { install_program "$E2E_PRODUCT" "$1"; }

# --- running programs ------------------------------------------------------

E2E_PID=
E2E_RUNNING_BEFORE=

# case_programs: the Unix pids of this prefix's Windows programs that run
# now, one a line; Wine's own (under C:\windows\) left out.
case_programs() {
  local pid
  for pid in $(pgrep -f '^[A-Za-z]:\\'); do
    grep -qi '^c:\\windows\\' "/proc/$pid/cmdline" 2>/dev/null && continue
    tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
      echo "$pid"
  done
}

# start_program <windows path> [argument...]: starts it in the background,
# from its own folder as a double-click would, with a time limit.
start_program() {
  local win=$1 folder
  shift
  E2E_RUNNING_BEFORE=$(case_programs)
  folder=$(dirname "$(host_path "$win")")
  (cd "$folder" && wine_run_exe "${E2E_RUN_LIMIT:-90}" "$win" "$@") \
    >>"$E2E_ARTIFACTS/wine.log" 2>&1 &
  E2E_PID=$!
}

# wait_program: waits for the program started last; sets LAST_EXIT (124 when
# the time limit ended it).
wait_program() {
  wait "$E2E_PID"
  LAST_EXIT=$?
  E2E_PID=
}

# wait_launched_programs [seconds]: after wait_program, waits until the
# programs that the last one started (an update it launched, a copy of
# itself) have ended too; programs that ran before it are not waited for.
wait_launched_programs() {
  local until=$((SECONDS + ${1:-60})) pid left
  while true; do
    left=""
    for pid in $(case_programs); do
      grep -qx "$pid" <<<"$E2E_RUNNING_BEFORE" || left+=" $pid"
    done
    [ -z "$left" ] && return 0
    [ "$SECONDS" -ge "$until" ] && { fail "programs still run:$left"; return 1; }
    sleep 0.2
  done
}

# run_program <windows path> [argument...]: start and wait.
run_program() {
  start_program "$@"
  wait_program
}

# --- windows on the screen -------------------------------------------------

# wait_window <exact title> [seconds]: sets WINDOW_ID to the X window id of
# the first visible window with that title; fails the case when none
# appears in time.
WINDOW_ID=
wait_window() {
  WINDOW_ID=$(gui_wait_window "$@")
  [ -n "$WINDOW_ID" ] || { fail "no window titled '$1' appeared"; return 1; }
}

# screenshot <name> [window id]: build/artifacts/e2e/<case>/<name>.png
screenshot() { gui_screenshot "$E2E_ARTIFACTS/$1.png" "${2:-}"; }

# window_text <exact title>: sets WINDOW_TEXT to what the windows with that
# title show, as the window_text helper writes it: a "window" line (class,
# client size, style), then a "child" line per control (class, id, text).
WINDOW_TEXT=
window_text() {
  install_program "$E2E_BUILD/window_text.exe" 'C:\e2e\window_text.exe'
  rm -f "$(host_path 'C:\e2e\window_text.txt')"
  wine_run_exe 30 'C:\e2e\window_text.exe' "$1" 'C:\e2e\window_text.txt' \
    >>"$E2E_ARTIFACTS/wine.log" 2>&1
  WINDOW_TEXT=$(text_lines 'C:\e2e\window_text.txt')
  [ -n "$WINDOW_TEXT" ] || fail "window_text found no window titled '$1'"
}
