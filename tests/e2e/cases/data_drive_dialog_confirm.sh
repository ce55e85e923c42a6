# No data drive in the machine settings: the data drive dialog lists the
# machine's drives in the item format of the drive list (letter, ": ", the
# bracketed volume label, nothing for a floppy drive) with the current
# drive selected. Enter stores it under [Virelle] WD and the start-up goes
# on to the installer window.

source "$E2E_ROOT/tests/e2e/installer_helpers.sh"

drives_of_the_dialog_example
make_folder 'C:\Virelle'
put_text 'C:\Virelle\VRL.INI' <<'INI'
[Virelle]
INI
updates_already_launched
install_product 'C:\Virelle\VRL_DPD134.EXE'

start_program 'C:\Virelle\VRL_DPD134.EXE'
wait_window 'Virelle - Select Data Drive' || give_up "the data drive dialog did not appear"
window_shot data-drive-dialog "$WINDOW_ID"
window_text 'Virelle - Select Data Drive'
expect_match "$WINDOW_TEXT" $'^window\t[^\t]*\tclient=316x289\t' "the dialog"
items=$(grep $'^item\t' <<<"$WINDOW_TEXT" | cut -f2- | tr '\t' ' ')
expect_match "$items" $'^index=0 selected=1 text=c: \\[system\\]\nindex=1 selected=0 text=e: \\[mycd\\]\nindex=2 selected=0 text=f: \\[netf\\]\nindex=3 selected=0 text=h: \nindex=4 selected=0 text=z: \\[[^]]*\\]$' \
  "the drive list"
gui_keys "$WINDOW_ID" Return
wait_window ' Statement of Dental Remuneration 134' || fail "the start-up did not go on"
wait_program

expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$(ini_value 'C:\Virelle\VRL.INI' Virelle WD)" "c:" "[Virelle] WD"
expect_data_files $(fee_table_names)
