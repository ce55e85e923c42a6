# The demonstration database offer, with C:\Virelle\DemoDatabase.exe a
# stand-in that records its command line and runs for three seconds:
# - no PATIENT table: the question appears; Yes starts the installer with
#   "/AUTO /" and today's date (YYYYMMDD), and the start-up goes on (the
#   installer window appears) only after the installer has ended;
# - No starts nothing;
# - PATIENT and USER tables holding records: no question.

source "$E2E_ROOT/tests/e2e/practice_data.sh"

machine_with_practice_on_c
updates_already_run
install_product 'C:\Virelle\VRL_DPD134.EXE'
install_program "$E2E_BUILD/stand_in.exe" 'C:\Virelle\DemoDatabase.exe'
echo 3000 >"$(host_path 'C:\Virelle\DemoDatabase.exe.delay')"
demo_log='C:\Virelle\DemoDatabase.exe.log'
question='Install demonstration database?||(recommended if evaluating software)'
installer_title=' Statement of Dental Remuneration 134'

# stand_in_time <start|end>: that line's time in ms since 1970.
stand_in_time() {
  text_lines "$demo_log" | grep "^$1"$'\t' | head -1 |
    sed -E 's/^[a-z]+\ttime=([0-9-]+ [0-9:.]+)\t.*/\1/' | xargs -I{} date -d {} '+%s%3N'
}

note "--- no PATIENT table, answered Yes"
make_table users 'C:\Virelle\Data' USER.DB 1
start_program 'C:\Virelle\VRL_DPD134.EXE'
if expect_box "$question" "Yes No"; then
  screenshot demo-question "$WINDOW_ID"
  gui_keys "$WINDOW_ID" y
fi
wait_window "$installer_title" 20
appeared=$(date '+%s%3N')
wait_program
expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$(text_lines "$demo_log" | grep -c '^start')" 1 "installer starts"
expect_match "$(text_lines "$demo_log" | grep '^start')" \
  $'\tcmdline=.*DemoDatabase\\.exe"? +/AUTO /'"$(date +%Y%m%d)"'$' "the installer's command line"
ended=$(stand_in_time end)
expect_match "$ended" '^[0-9]+$' "the installer's end time"
expect_time_between "$appeared" "${ended:-0}" $((${ended:-0} + 20000)) \
  "the installer window's appearance (after the demonstration installer ended)"

note "--- no PATIENT table, answered No"
rm -f "$(host_path "$demo_log")"
start_program 'C:\Virelle\VRL_DPD134.EXE'
if expect_box "$question" "Yes No"; then
  gui_keys "$WINDOW_ID" n
fi
wait_program
expect_eq "$LAST_EXIT" 0 "exit code"
expect_no_file "$demo_log"

note "--- patients and users present"
make_table plain 'C:\Virelle\Data' PATIENT.DB 2
start_program 'C:\Virelle\VRL_DPD134.EXE'
wait_window "$installer_title" 20
expect_no_box
wait_program
expect_eq "$LAST_EXIT" 0 "exit code"
expect_no_file "$demo_log"
expect_eq "$(grep -c 'Install demonstration' "$E2E_ARTIFACTS/boxes.txt")" 2 "questions asked"
