# Run as the family's main program (copied as VRL.EXE), the program writes
# the start-up log: C:\Virelle\Startup.LOG and one run file under
# C:\Virelle\Startup\, both beginning with START, 0.01 and 0.02 in the line
# format "DD/MM/YYYY HH:NN:SS.zzz, <elapsed in 8>, <message>".

machine_with_practice_on_c
install_product 'C:\Virelle\VRL.EXE'
before=$(date '+%s%3N')
run_program 'C:\Virelle\VRL.EXE'
after=$(date '+%s%3N')
expect_eq "$LAST_EXIT" 0 "exit code"

expect_file 'C:\Virelle\Startup.LOG'
expect_crlf 'C:\Virelle\Startup.LOG'
mapfile -t lines < <(text_lines 'C:\Virelle\Startup.LOG')
expect_match "${lines[0]-}" "^$STARTUP_LINE_TIME,        0, START\$" "first line"
expect_match "${lines[1]-}" "^$STARTUP_LINE_TIME, $ELAPSED_FIELD, 0\\.01\$" "second line"
expect_match "${lines[2]-}" "^$STARTUP_LINE_TIME, $ELAPSED_FIELD, 0\\.02\$" "third line"
for line in "${lines[@]:0:3}"; do
  expect_time_between "$(startup_line_epoch_ms "$line")" "$before" "$after" "time of '$line'"
done

mapfile -t runs < <(list_folder 'C:\Virelle\Startup')
expect_eq "${#runs[@]}" 1 "number of files under Startup\\"
expect_match "${runs[0]-}" '^[0-9]{17}\.TXT$' "run file name"
if [ ${#runs[@]} -eq 1 ]; then
  run_file="C:\\Virelle\\Startup\\${runs[0]}"
  expect_eq "$(text_lines "$run_file")" "$(text_lines 'C:\Virelle\Startup.LOG')" "run file content"
  expect_crlf "$run_file"
  expect_time_between "$(run_file_epoch_ms "${runs[0]}")" "$before" \
    "$(startup_line_epoch_ms "${lines[0]-}")" "time in the run file's name"
fi
