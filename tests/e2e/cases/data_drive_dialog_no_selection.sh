# Started from a folder outside every drive letter (the machine has no Z:
# here), the process's current folder names no drive, as a network path
# does: the data drive dialog opens with nothing selected. OK then warns "You must select a drive." and the
# dialog stays open; Escape then ends the program with exit code 0.

source "$E2E_ROOT/tests/e2e/installer_helpers.sh"

rm -f "$WINEPREFIX/dosdevices/z:"
make_folder 'C:\Virelle'
put_text 'C:\Virelle\VRL.INI' <<'INI'
[Virelle]
INI
install_product 'C:\Virelle\VRL_DPD134.EXE'
outside=$(dirname "$WINEPREFIX")/outside
mkdir -p "$outside"
chown --reference="$WINEPREFIX" "$outside"

(cd "$outside" && wine_run_exe 90 'C:\Virelle\VRL_DPD134.EXE') >>"$E2E_ARTIFACTS/wine.log" 2>&1 &
E2E_PID=$!
wait_window 'Virelle - Select Data Drive' || give_up "the data drive dialog did not appear"
dialog=$WINDOW_ID
window_text 'Virelle - Select Data Drive'
expect_match "$WINDOW_TEXT" $'item\tindex=0\tselected=0\ttext=c: \\[\\]' "the drive list"
expect_eq "$(grep -c $'^item\t.*\tselected=1\t' <<<"$WINDOW_TEXT")" 0 "selected items"
gui_keys "$dialog" Return
if wait_window 'Virelle' 20; then
  window_shot no-selection-warning "$WINDOW_ID"
  window_text 'Virelle'
  expect_match "$WINDOW_TEXT" 'text=You must select a drive\.' "the warning"
  gui_keys "$WINDOW_ID" Return
fi
sleep 0.5
gui_window_exists 'Virelle - Select Data Drive' && note "ok: the dialog is still open" ||
  fail "the dialog closed"
gui_keys "$dialog" Escape
wait_program

expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$(ini_value 'C:\Virelle\VRL.INI' Virelle WD)" "" "[Virelle] WD"
