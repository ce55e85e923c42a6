# A data drive F: that Wine reports as a network drive, with Windows'
# remembered connection of F: in the registry: the start-up rewrites the
# [Network] section of the machine settings file as a whole, in its key
# order, with the provider, user and the two numbers from that record, read
# under HKCU\Network\F on the NT family and HKCU\Network\Persistent\F on
# Windows 98; the other family's key is not read.
#
# Wine cannot tell the remote name behind a letter (WNetGetConnectionA asks
# no provider), so RemotePath holds what the program falls back on: the
# drive's volume label, upper-cased like the letter. The remote name itself
# is shown on the simulated machine.

source "$E2E_ROOT/tests/e2e/startup_helpers.sh"

mkdir -p "$(case_folder)/drive_f/Virelle"
printf 'netf' >"$(case_folder)/drive_f/.windows-label"
printf '[RunOnce]\r\nSDR134=%s\r\n' "$(today)" >"$(case_folder)/drive_f/Virelle/VRLPRC.INI"
map_drive F "$(case_folder)/drive_f"
wine_reg add 'HKLM\Software\Wine\Drives' /v f: /t REG_SZ /d network /f >/dev/null 2>&1
restart_wineserver
make_folder 'C:\Virelle'
install_product 'C:\Virelle\VRL_DPD134.EXE'

remember() {  # <key> <provider> <user> <connection type> <provider type>
  wine_reg add "HKCU\\$1" /v ProviderName /t REG_SZ /d "$2" /f >/dev/null 2>&1
  wine_reg add "HKCU\\$1" /v UserName /t REG_SZ /d "$3" /f >/dev/null 2>&1
  wine_reg add "HKCU\\$1" /v ConnectionType /t REG_DWORD /d "$4" /f >/dev/null 2>&1
  wine_reg add "HKCU\\$1" /v ProviderType /t REG_DWORD /d "$5" /f >/dev/null 2>&1
}
remember 'Network\F' 'Microsoft Windows Network' reception 1 131072
remember 'Network\Persistent\F' 'NetWare' anne 2 196608

# expect_record <provider> <user> <connection type> <provider type>
expect_record() {
  expect_eq "$(text_lines 'C:\Virelle\VRL.INI' | sed -n '/^\[Network\]$/,/^\[/p' | grep -v '^\[' |
    paste -sd ' ')" \
    "Drive=F ProviderName=$1 RemotePath=NETF UserName=$2 ConnectionType=$3 ProviderType=$4" \
    "the [Network] section"
}

for version in win7 win98; do
  note "--- $version"
  set_windows_version "$version"
  put_text 'C:\Virelle\VRL.INI' <<'INI'
[Virelle]
WD=F:
[Network]
Drive=Q
RemotePath=\\OLD\DATA
Comment=left by an older version
INI
  run_program 'C:\Virelle\VRL_DPD134.EXE'
  expect_eq "$LAST_EXIT" 0 "exit code"
  if [ "$version" == win7 ]; then
    expect_record 'Microsoft Windows Network' reception 1 131072
  else
    expect_record NetWare anne 2 196608
  fi
  expect_carried_files 'F:\Virelle\Data' $(fee_table_names)
  rm -rf "$(case_folder)/drive_f/Virelle/Data"
done
