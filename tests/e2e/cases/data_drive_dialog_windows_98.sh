# On Windows 98 the drive list keeps each drive's icon index from the
# shell's small system list (no icon lookup as items are painted): the
# dialog lists the drives as on NT, the current drive selected, and Escape
# ends the program with exit code 0.

source "$E2E_ROOT/tests/e2e/installer_helpers.sh"

set_windows_version win98
make_folder 'C:\Virelle'
put_text 'C:\Virelle\VRL.INI' <<'INI'
[Virelle]
INI
install_product 'C:\Virelle\VRL_DPD134.EXE'

start_program 'C:\Virelle\VRL_DPD134.EXE'
wait_window 'Virelle - Select Data Drive' || give_up "the data drive dialog did not appear"
window_shot data-drive-dialog-98 "$WINDOW_ID"
window_text 'Virelle - Select Data Drive'
expect_match "$WINDOW_TEXT" $'item\tindex=0\tselected=1\ttext=c: \\[\\]' "the drive list"
gui_keys "$WINDOW_ID" Escape
wait_program
expect_eq "$LAST_EXIT" 0 "exit code"
