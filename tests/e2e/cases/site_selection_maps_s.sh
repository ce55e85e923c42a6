# A machine that holds two practice sites on C: (the site list in
# C:\Virelle\VRLPRC.INI, data drive C:): the start-up shows "Select Site"
# with the two names, the first selected; the test picks the second with
# the keyboard. The program then creates C:\Virelle\MultiSite\2\Virelle\ and
# defines S: as a DOS device standing for C:\Virelle\MultiSite\2, which a
# second program started afterwards sees the same way.
#
# Wine keeps DOS device names but does not resolve files through them, so
# S:\Virelle\ cannot be reached: the start-up stops at its folder test with
# the directory message naming S:\Virelle\. Then the case gives the prefix
# the drive S: that the device names (as Windows resolves it by itself),
# starts the program again, picks the second site once more, and the
# installer writes its six files through S:\Virelle\Data\ into
# C:\Virelle\MultiSite\2\Virelle\Data\. That files reach the site folder
# through the substitution alone is shown on the simulated machine.
#
# Reported as Windows 98 the program takes the DOS drive-substitution
# service through the VxD call gate instead, which Wine answers with
# "success" and does nothing: the program creates the site folder, defines
# no DOS device and stops at the same folder test. The service itself is
# shown on the simulated machine.

source "$E2E_ROOT/tests/e2e/startup_helpers.sh"

machine_with_practice_on_c
put_text 'C:\Virelle\VRLPRC.INI' <<'INI'
[MultiSite]
Count=2
Name1=Surgery
Name2=Branch
INI
# Started from elsewhere, so that it is not an update program of the
# install folder that would launch a copy of itself.
install_product 'C:\Programs\VRL_DPD134.EXE'

# choose_second_site <picture>: the dialog as it is shown, then Down, Enter.
choose_second_site() {
  wait_window 'Select Site' || return 1
  window_shot "$1" "$WINDOW_ID"
  window_text 'Select Site'
  printf '%s\n' "$WINDOW_TEXT" >"$E2E_ARTIFACTS/$1.txt"
  expect_eq "$(grep -c $'^item\t' <<<"$WINDOW_TEXT")" 2 "number of sites offered"
  expect_line "$WINDOW_TEXT" $'item\tindex=0\tselected=1\ttext=Surgery' "the site list"
  expect_line "$WINDOW_TEXT" $'item\tindex=1\tselected=0\ttext=Branch' "the site list"
  expect_match "$WINDOW_TEXT" $'\nchild\tclass=Button\tid=[0-9]+\ttext=OK(\n|$)' "the dialog's button"
  expect_match "$WINDOW_TEXT" $'^window\t[^\t]*\tclient=300x120\t' "the dialog's client area"
  gui_keys "$WINDOW_ID" Down Return
}

install_program "$E2E_BUILD/query_dos_device.exe" 'C:\e2e\query_dos_device.exe'
# s_device: what another program sees as S:.
s_device() {
  rm -f "$(host_path 'C:\e2e\s.txt')"
  wine_run_exe 30 'C:\e2e\query_dos_device.exe' 'S:' 'C:\e2e\s.txt' >>"$E2E_ARTIFACTS/wine.log" 2>&1
  text_lines 'C:\e2e\s.txt'
}
unreachable='The directory "S:\Virelle\" can not be accessed.||If this is a network drive, please ensure that the network is working.'

note "--- Windows 98: the substitution service"
set_windows_version win98
start_program 'C:\Programs\VRL_DPD134.EXE'
choose_second_site select-site-windows-98
answer_box "$unreachable" s-not-substituted-box Return
wait_program
expect_eq "$LAST_EXIT" 0 "exit code"
expect_folder 'C:\Virelle\MultiSite\2\Virelle'
expect_eq "$(s_device)" "error=2" "S: as another program sees it (no DOS device)"
set_windows_version win7
rm -rf "$(host_path 'C:\Virelle\MultiSite')"

note "--- S: as a DOS device"
start_program 'C:\Programs\VRL_DPD134.EXE'
choose_second_site select-site-dialog
answer_box "$unreachable" s-not-reachable-box Return
wait_program
expect_eq "$LAST_EXIT" 0 "exit code"
expect_folder 'C:\Virelle\MultiSite\2\Virelle'
expect_eq "$(list_folder 'C:\Virelle\MultiSite' | paste -sd ' ')" "2" "the site folders"
device=$(s_device)
expect_eq "$device" '\??\C:\Virelle\MultiSite\2' "S: as another program sees it"

note "--- S: reachable"
target=${device#'\??\'}
map_drive S "$(host_path "$target")"
start_program 'C:\Programs\VRL_DPD134.EXE'
choose_second_site select-site-again
wait_program
expect_eq "$LAST_EXIT" 0 "exit code"
expect_carried_files 'C:\Virelle\MultiSite\2\Virelle\Data' $(fee_table_names)
expect_no_file 'C:\Virelle\Data\Dpd_c_34.DB'
