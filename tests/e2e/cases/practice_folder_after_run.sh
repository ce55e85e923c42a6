# After a normal run of VRL_DPD134.EXE on a new practice: all 34 folders of
# the practice tree exist, Lock is hidden and system only (it was made
# read-only before), Bin\Report is gone with its files, the practice
# settings carry the upkeep of a new practice (Transmission Format X, WebEDI
# and Computers erased), C:\Virelle\Private\ keeps the folders of other
# users and programs while this program's own folder is gone, and the
# machine settings file holds the GetShortPathName record.

source "$E2E_ROOT/tests/e2e/practice_data.sh"

machine_with_practice_on_c
make_folder 'C:\Virelle\Lock'
chmod 555 "$(host_path 'C:\Virelle\Lock')"  # read-only, as Wine keeps it
note "Lock before the run: $(dos_attributes 'C:\Virelle\Lock')"
put_text 'C:\Virelle\Bin\Report\old.rpt' <<<'an old report'
put_text 'C:\Virelle\Reports\Bank\kept.txt' <<<'a kept report'
put_text 'C:\Virelle\VRLPRC.INI' <<'INI'
[WebEDI]
User=someone
[Computers]
RECEPTION=1
INI
updates_already_run
user=$(id -un)
put_text "C:\\Virelle\\Private\\jsmith\\VRL_DPD134\\other-user.txt" <<<'other user'
put_text "C:\\Virelle\\Private\\$user\\VRL\\other-program.txt" <<<'other program'

install_product 'C:\Virelle\VRL_DPD134.EXE'
run_program 'C:\Virelle\VRL_DPD134.EXE'
expect_eq "$LAST_EXIT" 0 "exit code"

for folder in Bin 'Bin\Update' Data Archive Letters 'Letters\General' 'Letters\Appointment' \
  'Letters\Estimate' 'Letters\Invoice' 'Letters\Prescription' 'Letters\Private' 'Letters\Recall' \
  'Letters\Receipt' 'Letters\Referral' 'Letters\Laboratory' 'Letters\Statement' Schedule Cashbook \
  'Transmit\SND' 'Transmit\RCV' Reports 'Reports\Bank' 'Reports\Bank\Statement' 'Reports\Customer' \
  'Reports\Finance' 'Reports\Invoice' 'Reports\Invoice\Product' 'Reports\Invoice\Service' \
  'Reports\Nominal' 'Reports\Products' 'Reports\Statements' 'Reports\Supplier' \
  'Reports\Purchase Order' Lock; do
  is_folder "C:\\Virelle\\$folder" || fail "folder C:\\Virelle\\$folder does not exist"
done
note "checked the 34 folders"
expect_eq "$(dos_attributes 'C:\Virelle\Lock')" "HS" "the attributes of Lock"
is_folder 'C:\Virelle\Bin\Report' && fail "Bin\\Report is still there" || note "ok: Bin\\Report is gone"
expect_eq "$(text_lines 'C:\Virelle\Reports\Bank\kept.txt')" "a kept report" "Reports\\Bank\\kept.txt"

ini='C:\Virelle\VRLPRC.INI'
expect_eq "$(ini_value "$ini" Transmission Format)" X "[Transmission] Format"
expect_eq "$(text_lines "$ini" | grep -ci '^\[\(WebEDI\|Computers\)\]')" 0 "WebEDI and Computers sections"
expect_eq "$(ini_value "$ini" Virelle Country)" "" "[Virelle] Country (not written)"

expect_eq "$(text_lines "C:\\Virelle\\Private\\jsmith\\VRL_DPD134\\other-user.txt")" "other user" \
  "the other user's private folder"
expect_eq "$(text_lines "C:\\Virelle\\Private\\$user\\VRL\\other-program.txt")" "other program" \
  "the other program's private folder"
expect_eq "$(list_folder "C:\\Virelle\\Private\\$user" | tr '\n' ' ')" "VRL " \
  "what is left in C:\\Virelle\\Private\\$user"

long=$(ini_value 'C:\Virelle\VRL.INI' GetShortPathName LongName)
short=$(ini_value 'C:\Virelle\VRL.INI' GetShortPathName ShortName)
expect_eq "$long" "C:\\Virelle\\Private\\$user\\VRL_DPD134\\" "[GetShortPathName] LongName"
expect_match "$short" '^C:\\Virelle\\Private\\[^\\]{1,8}\\[^\\.]{1,8}\\$' "[GetShortPathName] ShortName"
expect_no_file 'C:\Virelle\VRL.LCK'
