# The system date guard of a main program (the product copied as VRL.EXE),
# against [Virelle] Date of the machine settings file:
# - a run date one day ahead: "System date error.", exit code 0, the date
#   left as it was, nothing installed;
# - 31 days behind: the question naming today's date; No ends the program
#   (date unchanged), Yes goes on (date set to today, the six files written);
# - the executable's own file dated tomorrow: the program-date box naming
#   both dates, after the run date has been set to today.

source "$E2E_ROOT/tests/e2e/startup_helpers.sh"

machine_with_practice_on_c
install_product 'C:\Virelle\VRL.EXE'
question="The system was run in excess of 30 days ago.||Please confirm the date is $(today)"

# run_with_date <stored date> <picture> <expected box> <key>
run_with_date() {
  put_text 'C:\Virelle\VRL.INI' <<INI
[Virelle]
WD=C:
Date=$1
INI
  start_program 'C:\Virelle\VRL.EXE'
  answer_box "$3" "$2" "$4"
  wait_program
  expect_eq "$LAST_EXIT" 0 "exit code"
}

note "--- run date tomorrow"
run_with_date "$(date -d tomorrow '+%d/%m/%Y')" date-error-box 'System date error.' Return
expect_eq "$(ini_value 'C:\Virelle\VRL.INI' Virelle Date)" "$(date -d tomorrow '+%d/%m/%Y')" \
  "the run date"
expect_eq "$(list_folder 'C:\Virelle\Data')" "" "what C:\\Virelle\\Data holds"

note "--- 31 days behind, not confirmed"
behind=$(date -d '31 days ago' '+%d/%m/%Y')
run_with_date "$behind" date-question-box "$question" n
expect_eq "$(grep -Eo $'^child\tclass=Button\tid=[0-9]+' <<<"$WINDOW_TEXT" | cut -f3 | paste -sd ' ')" \
  "id=6 id=7" "the question's buttons (Yes, No)"
expect_eq "$(ini_value 'C:\Virelle\VRL.INI' Virelle Date)" "$behind" "the run date"
expect_eq "$(list_folder 'C:\Virelle\Data')" "" "what C:\\Virelle\\Data holds"

note "--- 31 days behind, confirmed"
run_with_date "$behind" date-question-yes "$question" Return
expect_eq "$(ini_value 'C:\Virelle\VRL.INI' Virelle Date)" "$(today)" "the run date"
expect_carried_files 'C:\Virelle\Data' $(fee_table_names)
expect_line "$(startup_messages 'C:\Virelle\Startup.LOG')" "9.7" "the start-up log"

note "--- the program's file dated tomorrow"
touch -d "tomorrow 12:00" "$(host_path 'C:\Virelle\VRL.EXE')"
run_with_date "$(today)" program-date-box \
  "The program date is greater than the system date.||$(date -d tomorrow '+%d/%m/%Y') > $(today)" Return
expect_eq "$(ini_value 'C:\Virelle\VRL.INI' Virelle Date)" "$(today)" "the run date"
expect_eq "$(startup_messages 'C:\Virelle\Startup.LOG' | tail -4 | paste -sd ' ')" \
  "9.4 9.5 9.6 9.7" "the end of the start-up log"
