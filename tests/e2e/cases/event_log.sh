# LogEvent, called by the log_event probe (the shared services over the
# Win32 backends, with the product's version resource) installed under the
# product's name: the first event makes the 13-line EVENTS.XML, a second adds
# ten lines, and an existing empty file is started afresh like a missing one.

machine_with_practice_on_c
install_program "$E2E_BUILD/log_event.exe" 'C:\Virelle\VRL_DPD134.EXE'
version=$(sed -nE 's/^#define VRL_FILE_VERSION_TEXT "(.*)"$/\1/p' "$E2E_ROOT/resources/version.rc")
today=$(date +%d/%m/%Y)
log='C:\Virelle\EVENTS.XML'

# expect_record <first line number> <class> <text>: one ERR record.
expect_record() {
  local at=$1
  expect_eq "${lines[at]-}" "<ERR>" "line $((at + 1))"
  expect_eq "${lines[at + 1]-}" "<DATE>$today</DATE>" "line $((at + 2))"
  # The user's long time format; Wine's English locale gives h:mm:ss tt.
  expect_match "${lines[at + 2]-}" '^<TIME>[0-9]{1,2}:[0-9]{2}:[0-9]{2}( ?[AP]M)?</TIME>$' "line $((at + 3))"
  expect_eq "${lines[at + 3]-}" "<USERNAME>$(id -un)</USERNAME>" "line $((at + 4))"
  expect_eq "${lines[at + 4]-}" "<APPLICATION>VRL_DPD134</APPLICATION>" "line $((at + 5))"
  expect_eq "${lines[at + 5]-}" "<VERSION>$version</VERSION>" "line $((at + 6))"
  expect_eq "${lines[at + 6]-}" "<PROCESS>0.0.0.0</PROCESS>" "line $((at + 7))"
  expect_eq "${lines[at + 7]-}" "<CLASS>$2</CLASS>" "line $((at + 8))"
  expect_eq "${lines[at + 8]-}" "<TEXT>$3</TEXT>" "line $((at + 9))"
  expect_eq "${lines[at + 9]-}" "</ERR>" "line $((at + 10))"
}

# expect_new_file_with_one_event <class> <text>
expect_new_file_with_one_event() {
  expect_crlf "$log"
  mapfile -t lines < <(text_lines "$log")
  expect_eq "${#lines[@]}" 13 "number of lines"
  expect_eq "${lines[0]-}" '<?xml version="1.0"?>' "line 1"
  expect_eq "${lines[1]-}" "<EVENTS>" "line 2"
  expect_record 2 "$1" "$2"
  expect_eq "${lines[12]-}" "</EVENTS>" "line 13"
}

note "--- first event on the machine"
run_program 'C:\Virelle\VRL_DPD134.EXE' Information 'Tables <Dpd_c_34> & co'
expect_eq "$LAST_EXIT" 0 "exit code"
expect_new_file_with_one_event Information 'Tables <Dpd_c_34> & co'

note "--- a second event"
run_program 'C:\Virelle\VRL_DPD134.EXE' Warning 'Second'
mapfile -t lines < <(text_lines "$log")
expect_eq "${#lines[@]}" 23 "number of lines"
expect_record 12 Warning Second
expect_eq "${lines[22]-}" "</EVENTS>" "last line"

note "--- an empty EVENTS.XML"
: >"$(host_path "$log")"
run_program 'C:\Virelle\VRL_DPD134.EXE' Information 'After empty'
expect_new_file_with_one_event Information 'After empty'
