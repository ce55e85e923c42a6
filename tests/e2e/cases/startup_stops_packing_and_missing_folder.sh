# Two stops of the start-up, each before the installer window exists, with
# exit code 0 and no fee table written:
# - the lock file held alone by another process (as by the packing
#   program): "The program is currently packing.";
# - a drive setting whose practice folder is missing (D: exists, D:\Virelle\
#   does not): the directory message naming D:\Virelle\, and no folder is
#   made for it.

source "$E2E_ROOT/tests/e2e/installer_helpers.sh"

# expect_stop_box <text>: the next "Virelle" box reads the text; answers it.
expect_stop_box() {
  if wait_window 'Virelle' 60; then
    window_text 'Virelle'
    expect_line "$(grep -o 'text=.*' <<<"$WINDOW_TEXT")" "text=$1" "the box"
    gui_keys "$WINDOW_ID" Return
  fi
  wait_program
  expect_eq "$LAST_EXIT" 0 "exit code"
  gui_window_exists ' Statement of Dental Remuneration 134' && fail "the installer window appeared"
}

note "--- the lock file held by another process"
machine_with_practice_on_c
updates_already_launched
install_product 'C:\Virelle\VRL_DPD134.EXE'
install_program "$E2E_BUILD/file_holder.exe" 'C:\e2e\file_holder.exe'
wine_run_exe 90 'C:\e2e\file_holder.exe' 'C:\Virelle\VRL.LCK' 'C:\e2e\release' \
  >>"$E2E_ARTIFACTS/wine.log" 2>&1 &
holder=$!
for _ in $(seq 100); do is_file 'C:\Virelle\VRL.LCK.held' && break; sleep 0.1; done
is_file 'C:\Virelle\VRL.LCK.held' || give_up "the lock file is not held"
start_program 'C:\Virelle\VRL_DPD134.EXE'
expect_stop_box 'The program is currently packing.'
expect_eq "$(list_folder 'C:\Virelle\Data')" "" "what C:\\Virelle\\Data holds"
touch "$(host_path 'C:\e2e')/release"
wait "$holder"

note "--- the practice folder missing on D:"
mkdir -p "$(dirname "$WINEPREFIX")/drive_d"
ln -sfn "$(dirname "$WINEPREFIX")/drive_d" "$WINEPREFIX/dosdevices/d:"
put_text 'C:\Virelle\VRL.INI' <<'INI'
[Virelle]
WD=D:
INI
start_program 'C:\Virelle\VRL_DPD134.EXE'
expect_stop_box 'The directory "D:\Virelle\" can not be accessed.||If this is a network drive, please ensure that the network is working.'
expect_eq "$(list_folder 'D:\')" "" "what D:\\ holds"
