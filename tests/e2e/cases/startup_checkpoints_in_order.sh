# A whole run of the main program (the executable copied as VRL.EXE): its
# start-up log holds the checkpoints in the order the start-up frame
# defines: the process start's, 0.21, then phase by phase (the date guard's
# 9.4 to 9.7 included, the second 9.1, 9.2 and 9.3 standing for 9.10, 9.20
# and 9.30), ending with 9.29, 9.3, 9.998 and 9.999. Checkpoints the phases
# write inside themselves may stand between them.

source "$E2E_ROOT/tests/e2e/installer_helpers.sh"

machine_with_practice_on_c
install_product 'C:\Virelle\VRL.EXE'
run_program 'C:\Virelle\VRL.EXE'
expect_eq "$LAST_EXIT" 0 "exit code"

frame=(START 0.01 0.02 0.21 9.1 9.2 9.3 9.4 9.5 9.6 9.7 9.8 9.9 9.1 9.11 9.12 9.13 9.14
  9.141 9.1411 9.1414 9.15 9.16 9.25 9.27 9.289 9.29 9.3 9.998 9.999)
mapfile -t logged < <(startup_messages 'C:\Virelle\Startup.LOG')
next=0
for message in "${logged[@]}"; do
  [ "$next" -lt "${#frame[@]}" ] && [ "$message" == "${frame[$next]}" ] && next=$((next + 1))
done
if [ "$next" -eq "${#frame[@]}" ]; then
  note "ok: the frame's ${#frame[@]} checkpoints stand in order in the log"
else
  fail "checkpoint ${frame[$next]} (number $((next + 1)) of the frame) is not where it belongs; the log: ${logged[*]}"
fi
expect_eq "${logged[${#logged[@]}-1]-}" "9.999" "the last checkpoint"
expect_data_files $(fee_table_names)
