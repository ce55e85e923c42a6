# Damaged practice tables (truncated, garbage header, wrong block links),
# made from real tables of the table engine:
# - VRL_DPD134.EXE with a damaged CONTROL.DB shows "Please run the 'Pack
#   Databases' application." with the engine's message, ends with exit code
#   0, releases the lock, writes no fee table and leaves the table as it was;
# - the same table run as VRL_PACK.EXE: no box, the start-up goes on;
# - the main program VRL.EXE with a damaged TRT_CTL.DB shows the probe box
#   ending with a blank line and "TRT_CTL.DB".

source "$E2E_ROOT/tests/e2e/practice_data.sh"

machine_with_practice_on_c
install_product 'C:\Virelle\VRL_DPD134.EXE'
install_product 'C:\Virelle\VRL_PACK.EXE'
install_product 'C:\Virelle\VRL.EXE'
updates_already_run
advice="Please run the 'Pack Databases' application.||"

# answer_box_and_wait <shot name>: OK on the box shown, then the program's end.
answer_box_and_wait() {
  screenshot "$1" "$WINDOW_ID"
  gui_keys "$WINDOW_ID" Return
  wait_program
}

for damage in truncated garbage-header wrong-block-links; do
  note "--- CONTROL.DB: $damage"
  rm -rf "$(host_path 'C:\Virelle\Data')"
  make_table control-plain 'C:\Virelle\Data' CONTROL.DB Claim=4
  damage_table 'C:\Virelle\Data\CONTROL.DB' "$damage"
  message=$(engine_message 'C:\Virelle\Data\CONTROL.DB')
  [ -n "$message" ] || give_up "the engine opens the $damage table"
  before=$(md5sum <"$(host_path 'C:\Virelle\Data\CONTROL.DB')")

  start_program 'C:\Virelle\VRL_DPD134.EXE'
  if expect_box "$advice$message"; then
    answer_box_and_wait "control-$damage"
  else
    wait_program
  fi
  expect_eq "$LAST_EXIT" 0 "exit code"
  expect_no_file 'C:\Virelle\VRL.LCK'
  expect_eq "$(md5sum <"$(host_path 'C:\Virelle\Data\CONTROL.DB')")" "$before" "CONTROL.DB, unchanged"
  expect_eq "$(list_folder 'C:\Virelle\Data' | tr '\n' ' ')" "CONTROL.DB CONTROL.PX " \
    "the files in Data (no fee table written)"
  expect_eq "$(ini_value 'C:\Virelle\VRLPRC.INI' Virelle Claim)" "" "[Virelle] Claim"

  note "--- the same table, as VRL_PACK.EXE"
  run_program 'C:\Virelle\VRL_PACK.EXE'
  expect_eq "$LAST_EXIT" 0 "exit code"
  expect_no_file 'C:\Virelle\VRL.LCK'
  expect_file 'C:\Virelle\Data\Dpd_f_34.DB'  # the start-up went on to the installer
done
expect_eq "$(grep -c 'Pack Databases' "$E2E_ARTIFACTS/boxes.txt")" 3 "boxes seen (one per damage, none for VRL_PACK)"

for damage in truncated garbage-header wrong-block-links; do
  note "--- VRL.EXE with TRT_CTL.DB: $damage"
  rm -rf "$(host_path 'C:\Virelle\Data')"
  make_table plain 'C:\Virelle\Data' TRT_CTL.DB 2
  damage_table 'C:\Virelle\Data\TRT_CTL.DB' "$damage"
  message=$(engine_message 'C:\Virelle\Data\TRT_CTL.DB')
  [ -n "$message" ] || give_up "the engine opens the $damage table"
  start_program 'C:\Virelle\VRL.EXE'
  if expect_box "$advice$message||TRT_CTL.DB"; then
    answer_box_and_wait "probe-$damage"
  else
    wait_program
  fi
  expect_eq "$LAST_EXIT" 0 "exit code"
  expect_no_file 'C:\Virelle\VRL.LCK'
  expect_no_file 'C:\Virelle\Data\Dpd_f_34.DB'
done
