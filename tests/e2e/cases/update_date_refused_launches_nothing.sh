# An update program in the install folder (a stand-in copied as
# C:\Virelle\VRL_DPD126.EXE), not yet launched for the practice, whose
# settings file is read-only (Wine runs as an ordinary user here, so the
# file refuses writes as on Windows): the start-up's catch-all box names the
# file, the program ends with exit code 0, and nothing is launched.
#
# Under the whole start-up the practice settings upkeep's own writes are
# refused first, so the start-up log (of the main program VRL.EXE) never
# reaches update scheduling (9.289). That update scheduling itself writes
# the date before it launches, and so launches nothing when the write is
# refused, is shown on the simulated machine.

source "$E2E_ROOT/tests/e2e/startup_helpers.sh"

as_user 65534
machine_with_practice_on_c
install_product 'C:\Programs\VRL.EXE'

note "--- a first start brings the practice settings up to date"
run_program 'C:\Programs\VRL.EXE'
expect_eq "$LAST_EXIT" 0 "exit code"
expect_file 'C:\Virelle\VRLPRC.INI'

note "--- the settings file made read-only"
stand_in 'C:\Virelle\VRL_DPD126.EXE'
chmod 444 "$(host_path 'C:\Virelle\VRLPRC.INI')"
before=$(md5sum <"$(host_path 'C:\Virelle\VRLPRC.INI')")
start_program 'C:\Programs\VRL.EXE'
answer_box 'Unable to initialize program:||Unable to write to C:\Virelle\VRLPRC.INI' \
  catch-all-box Return
wait_program
expect_eq "$LAST_EXIT" 0 "exit code"
sleep 1
expect_eq "$(stand_in_starts 'C:\Virelle\VRL_DPD126.EXE')" "" "starts of the update program"
expect_eq "$(md5sum <"$(host_path 'C:\Virelle\VRLPRC.INI')")" "$before" "the practice settings file"
expect_no_file 'C:\Virelle\VRL.LCK'
expect_eq "$(startup_messages 'C:\Virelle\Startup.LOG' | grep -cx '9\.289')" 0 \
  "update scheduling's checkpoints in the start-up log"
