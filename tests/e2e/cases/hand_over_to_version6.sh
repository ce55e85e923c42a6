# A practice marked "v6"=1 in its settings file, started as the main program
# VRL.EXE:
# - with C:\Program Files\Virelle\VRL.EXE present, that program (a stand-in)
#   is started maximised and this one ends, exit code 0, without its window
#   and without installing anything;
# - with only Client.exe in the data folder, that one, the same way;
# - with neither, the box "Version 6 update required", exit code 0, and the
#   start-up log ends 9.1411, 6, 9.1412, 9.1413, 6.3.

source "$E2E_ROOT/tests/e2e/startup_helpers.sh"

machine_with_practice_on_c
put_text 'C:\Virelle\VRLPRC.INI' <<'INI'
[Virelle]
v6=1
INI
install_product 'C:\Virelle\VRL.EXE'

# expect_handed_over_to <windows path> <log tail>
expect_handed_over_to() {
  wait_stand_in "$1" 1 || fail "$1 was not started"
  local starts
  starts=$(stand_in_starts "$1")
  expect_eq "$(grep -c . <<<"$starts")" 1 "starts of $1"
  expect_match "$starts" $'\tshow=3\t' "the show state of $1 (maximised)"
  expect_eq "$(startup_messages 'C:\Virelle\Startup.LOG' | sed -n '/^9\.1411$/,$p' | paste -sd ' ')" \
    "$2" "the start-up log from 9.1411 on"
  expect_eq "$(list_folder 'C:\Virelle\Data')" "" "what C:\\Virelle\\Data holds"
}

note "--- version 6 installed under the program-files folder"
stand_in 'C:\Program Files\Virelle\VRL.EXE'
stand_in 'C:\Virelle\Client.exe'
start_program 'C:\Virelle\VRL.EXE'
seen=0
while kill -0 "$E2E_PID" 2>/dev/null; do
  gui_window_exists ' Statement of Dental Remuneration 134' && seen=1
  sleep 0.1
done
wait_program
expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$seen" 0 "whether the installer window appeared"
expect_handed_over_to 'C:\Program Files\Virelle\VRL.EXE' "9.1411 6 6.1"
expect_eq "$(stand_in_starts 'C:\Virelle\Client.exe')" "" "starts of Client.exe"

note "--- Client.exe in the data folder"
rm -f "$(host_path 'C:\Program Files\Virelle\VRL.EXE')"
run_program 'C:\Virelle\VRL.EXE'
expect_eq "$LAST_EXIT" 0 "exit code"
expect_handed_over_to 'C:\Virelle\Client.exe' "9.1411 6 9.1412 6.2"

note "--- no version 6 program"
rm -f "$(host_path 'C:\Virelle\Client.exe')"
start_program 'C:\Virelle\VRL.EXE'
answer_box 'Version 6 update required' update-required-box Return
wait_program
expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$(startup_messages 'C:\Virelle\Startup.LOG' | sed -n '/^9\.1411$/,$p' | paste -sd ' ')" \
  "9.1411 6 9.1412 9.1413 6.3" "the start-up log from 9.1411 on"
expect_eq "$(list_folder 'C:\Virelle\Data')" "" "what C:\\Virelle\\Data holds"
