# Two machines of one practice (two Wine prefixes) whose data drive D: is
# one shared host folder, each with the update program (a stand-in copied
# as C:\Virelle\VRL_DPD126.EXE) in its install folder: the first machine's
# start launches it and dates SDR126 in the practice's settings file on D:;
# the second machine's start finds the date and launches nothing.

source "$E2E_ROOT/tests/e2e/startup_helpers.sh"

shared=$(mktemp -d "${TMPDIR:-/tmp}/vrl-practice.XXXXXX")
mkdir -p "$shared/Virelle"

# practice_machine: this prefix's D: is the shared folder.
practice_machine() {
  map_drive D "$shared"
  make_folder 'C:\Virelle'
  put_text 'C:\Virelle\VRL.INI' <<'INI'
[Virelle]
WD=D:
INI
  install_product 'C:\Programs\VRL_DPD134.EXE'
  stand_in 'C:\Virelle\VRL_DPD126.EXE'
}

note "--- the first machine"
practice_machine
run_program 'C:\Programs\VRL_DPD134.EXE'
expect_eq "$LAST_EXIT" 0 "exit code"
wait_stand_in 'C:\Virelle\VRL_DPD126.EXE' 1 || fail "the first machine did not launch the update"
dated=$(ini_value 'D:\Virelle\VRLPRC.INI' RunOnce SDR126)
expect_eq "$dated" "$(today)" "[RunOnce] SDR126 on the practice's drive"

note "--- the second machine"
wine_end_case
wine_new_prefix >/dev/null || give_up "no second prefix"
wine_start_server || give_up "the second machine's wineserver did not start"
practice_machine
run_program 'C:\Programs\VRL_DPD134.EXE'
expect_eq "$LAST_EXIT" 0 "exit code"
sleep 1
expect_eq "$(stand_in_starts 'C:\Virelle\VRL_DPD126.EXE')" "" \
  "starts of the update program on the second machine"
expect_eq "$(ini_value 'D:\Virelle\VRLPRC.INI' RunOnce SDR126)" "$dated" "[RunOnce] SDR126"
expect_carried_files 'D:\Virelle\Data' $(fee_table_names)
rm -rf "$shared"
