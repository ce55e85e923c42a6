# A data drive D: that is a folder of the host (a fixed disk for Wine):
# the start-up erases the [Network] section an earlier network drive left
# in the machine settings file, keeps the rest of the file, and the
# installer writes its six files to D:\Virelle\Data\.

source "$E2E_ROOT/tests/e2e/startup_helpers.sh"

mkdir -p "$(case_folder)/drive_d/Virelle"
map_drive D "$(case_folder)/drive_d"
make_folder 'C:\Virelle'
put_text 'C:\Virelle\VRL.INI' <<'INI'
[Virelle]
WD=D:
[Network]
Drive=F
ProviderName=Microsoft Windows Network
RemotePath=\\SRV\PRACTICE
UserName=reception
ConnectionType=1
ProviderType=131072
INI
put_text 'D:\Virelle\VRLPRC.INI' <<INI
[RunOnce]
SDR134=$(today)
INI
install_product 'C:\Virelle\VRL_DPD134.EXE'
run_program 'C:\Virelle\VRL_DPD134.EXE'

expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$(ini_sections 'C:\Virelle\VRL.INI' | grep -cix network)" 0 \
  "[Network] sections in the machine settings file"
expect_eq "$(ini_value 'C:\Virelle\VRL.INI' Virelle WD)" "D:" "[Virelle] WD"
expect_carried_files 'D:\Virelle\Data' $(fee_table_names)
