# The control table's "Claim" row, on real tables made by the table engine:
# a CONTROL.DB with a "Claim" row and no NewClaim setting gets
# [Virelle] Claim=1 in the practice settings; NewClaim=1 and no row appends
# one "Claim" row with an empty Number, and a second run adds nothing;
# neither, with USER.DB Form values 2, 5 and 3, appends a row with Number 5.
# pxlib reads the tables whole after our appends, primary index included.

source "$E2E_ROOT/tests/e2e/practice_data.sh"

machine_with_practice_on_c
install_product 'C:\Virelle\VRL_DPD134.EXE'
control='C:\Virelle\Data\CONTROL.DB'
ini='C:\Virelle\VRLPRC.INI'

# fresh_practice <settings>: an empty Data folder and this practice settings file.
fresh_practice() {
  rm -rf "$(host_path 'C:\Virelle\Data')"
  printf '%s\n' "$1" | put_text "$ini"
  updates_already_run
}

run_and_expect_success() {
  run_program 'C:\Virelle\VRL_DPD134.EXE'
  expect_eq "$LAST_EXIT" 0 "exit code"
  expect_file 'C:\Virelle\Data\Dpd_c_34.DB'  # the start-up went on to the installer
}

note "--- a Claim row, no NewClaim"
fresh_practice '[Virelle]'
make_table control 'C:\Virelle\Data' CONTROL.DB Claim=4 Recall=1
run_and_expect_success
expect_eq "$(ini_value "$ini" Virelle Claim)" 1 "[Virelle] Claim"
expect_eq "$(text_lines "$ini" | grep -ci '^NewClaim=')" 0 "NewClaim keys"
expect_eq "$(px_rows "$control" | paste -sd ' ')" \
  "index accepted records 2 row Claim|4 row Recall|1" "pxlib's reading of CONTROL.DB"

note "--- NewClaim=1 and no Claim row"
fresh_practice $'[Virelle]\nNewClaim=1'
make_table control 'C:\Virelle\Data' CONTROL.DB Recall=1 Zone=2
make_table users 'C:\Virelle\Data' USER.DB 8
run_and_expect_success
expect_eq "$(px_rows "$control" | paste -sd ' ')" \
  "index accepted records 3 row Claim| row Recall|1 row Zone|2" "CONTROL.DB after the first run"
run_and_expect_success
expect_eq "$(px_rows "$control" | paste -sd ' ')" \
  "index accepted records 3 row Claim| row Recall|1 row Zone|2" "CONTROL.DB after the second run"
expect_eq "$(ini_value "$ini" Virelle Claim)" "" "[Virelle] Claim"

note "--- neither, USER.DB with Form values 2, 5 and 3"
fresh_practice '[Virelle]'
make_table control 'C:\Virelle\Data' CONTROL.DB Recall=1
make_table users 'C:\Virelle\Data' USER.DB 2 5 3
run_and_expect_success
expect_eq "$(px_rows "$control" | paste -sd ' ')" \
  "index accepted records 2 row Claim|5 row Recall|1" "CONTROL.DB"
expect_eq "$(px_rows 'C:\Virelle\Data\USER.DB' | paste -sd ' ')" \
  "index accepted records 3 row 1|user1|2 row 2|user2|5 row 3|user3|3" "USER.DB, unchanged"
expect_no_file 'C:\Virelle\VRL.LCK'
