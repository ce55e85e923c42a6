# The main job: with [Virelle] WD=C: and C:\Virelle\ present, the program
# shows its window (caption " Statement of Dental Remuneration 134", client
# area 505 x 33), writes the six carried files into C:\Virelle\Data\ byte for
# byte under their mixed-case names, and ends by itself about two seconds
# after the window appeared, with exit code 0 and the lock file gone.

source "$E2E_ROOT/tests/e2e/installer_helpers.sh"

machine_with_practice_on_c
updates_already_launched
install_product 'C:\Virelle\VRL_DPD134.EXE'
start_program 'C:\Virelle\VRL_DPD134.EXE'
wait_window ' Statement of Dental Remuneration 134' || give_up "the installer window did not appear"
appeared=$(date '+%s%3N')
window_shot installer-window "$WINDOW_ID"
window_text ' Statement of Dental Remuneration 134'
expect_match "$WINDOW_TEXT" $'^window\t[^\t]*\tclient=505x33\t' "the installer window"
wait_program
ended=$(date '+%s%3N')

expect_eq "$LAST_EXIT" 0 "exit code"
expect_time_between "$ended" $((appeared + 1500)) $((appeared + 6000)) "the end of the program"
expect_data_files $(fee_table_names)
expect_carried_files 'C:\Virelle\Data' $(fee_table_names)
expect_no_file 'C:\Virelle\VRL.LCK'
