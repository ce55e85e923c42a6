# An update program in the install folder (a stand-in copied as
# C:\Virelle\VRL_DPD126.EXE) with [RunOnce] of the practice settings empty:
# the start launches it once, hidden, while the start-up runs, and records
# SDR126 with today's date; a second start launches nothing; a key holding
# "yes" launches it again and is replaced by the date.

source "$E2E_ROOT/tests/e2e/startup_helpers.sh"

machine_with_practice_on_c
put_text 'C:\Virelle\VRLPRC.INI' <<'INI'
[RunOnce]
INI
# Started from elsewhere, so that this program is not itself an update
# program of the install folder.
install_product 'C:\Programs\VRL_DPD134.EXE'
stand_in 'C:\Virelle\VRL_DPD126.EXE'

note "--- first start"
before=$(date '+%s%3N')
run_program 'C:\Programs\VRL_DPD134.EXE'
after=$(date '+%s%3N')
expect_eq "$LAST_EXIT" 0 "exit code"
wait_stand_in 'C:\Virelle\VRL_DPD126.EXE' 1 || fail "the update program was not started"
starts=$(stand_in_starts 'C:\Virelle\VRL_DPD126.EXE')
expect_eq "$(grep -c . <<<"$starts")" 1 "starts of the update program"
expect_match "$starts" $'\tshow=0\t' "its show state (hidden)"
expect_match "$starts" $'\tcmdline="?C:\\\\Virelle\\\\VRL_DPD126.EXE"? *$' "its command line (no parameters)"
started=$(grep -o 'time=[^	]*' <<<"$starts" | head -1 | cut -d= -f2)
expect_time_between "$(date -d "$started" '+%s%3N')" "$before" "$after" "its start"
expect_eq "$(ini_value 'C:\Virelle\VRLPRC.INI' RunOnce SDR126)" "$(today)" "[RunOnce] SDR126"
expect_eq "$(ini_value 'C:\Virelle\VRLPRC.INI' RunOnce SDR124)" "" "[RunOnce] SDR124"

note "--- second start"
run_program 'C:\Programs\VRL_DPD134.EXE'
sleep 1
expect_eq "$(stand_in_starts 'C:\Virelle\VRL_DPD126.EXE' | grep -c .)" 1 "starts of the update program"

note "--- a key that holds no date"
sed -i 's/^SDR126=.*/SDR126=yes\r/' "$(host_path 'C:\Virelle\VRLPRC.INI')"
run_program 'C:\Programs\VRL_DPD134.EXE'
wait_stand_in 'C:\Virelle\VRL_DPD126.EXE' 2 || fail "the update program was not started again"
expect_eq "$(ini_value 'C:\Virelle\VRLPRC.INI' RunOnce SDR126)" "$(today)" "[RunOnce] SDR126"
