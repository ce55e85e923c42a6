# A data drive G: whose mapping to \\SRV\PRACTICE is gone (the letter has no
# root), with the connection recorded in [Network] of the machine settings:
# - without any network (Wine's own state) the reconnection is refused and
#   the box names "PRACTICE on 'SRV'" and G:;
# - with no record at all the box names the drive "G:";
# - with a network provider registered (a fake one that logs its calls) the
#   start-up's calls can be seen: the old connection to \\SRV\PRACTICE is
#   cancelled with force, then G: is connected with CONNECT_UPDATE_PROFILE
#   and CONNECT_INTERACTIVE (9), empty user and password. Wine 8's mpr
#   refuses an interactive connection itself (67) before it asks any
#   provider, and one that names an empty provider text (1204), so the
#   connection cannot be made under Wine: the refusal box comes again. The
#   successful reconnection is shown on the simulated machine.
# Each stop ends with exit code 0 before the installer window appears.

source "$E2E_ROOT/tests/e2e/startup_helpers.sh"

map_drive G "$(case_folder)/lost/G"
make_folder 'C:\Virelle'
install_product 'C:\Virelle\VRL_DPD134.EXE'

recorded_connection() {
  put_text 'C:\Virelle\VRL.INI' <<'INI'
[Virelle]
WD=g:
[Network]
Drive=G
ProviderName=Microsoft Windows Network
RemotePath=\\SRV\PRACTICE
UserName=reception
ConnectionType=1
ProviderType=131072
INI
}

# expect_stop <text> <picture>: the box, answered; the program ends
# without its window.
expect_stop() {
  start_program 'C:\Virelle\VRL_DPD134.EXE'
  answer_box "$1" "$2" Return
  wait_program
  expect_eq "$LAST_EXIT" 0 "exit code"
  gui_window_exists ' Statement of Dental Remuneration 134' && fail "the installer window appeared"
}

refused='The network drive PRACTICE on '"'SRV'"' (G:) can not be accessed.||Please restart computer to re-establish connection.'

note "--- no network"
recorded_connection
expect_stop "$refused" no-network-box
expect_eq "$(ini_value 'C:\Virelle\VRL.INI' Network RemotePath)" '\\SRV\PRACTICE' \
  "the record, which a failed reconnection leaves as it is"

note "--- no record of the connection"
put_text 'C:\Virelle\VRL.INI' <<'INI'
[Virelle]
WD=g:
INI
expect_stop 'The drive "G:" can not be accessed.' no-record-box

note "--- a network provider that logs the calls"
install_program "$E2E_BUILD/fake_network_provider.dll" 'C:\windows\system32\fake_network_provider.dll'
wine_reg add 'HKLM\System\CurrentControlSet\Control\NetworkProvider\Order' /v ProviderOrder \
  /t REG_SZ /d FakeNP /f >/dev/null 2>&1
wine_reg add 'HKLM\System\CurrentControlSet\Services\FakeNP\NetworkProvider' /v Name \
  /t REG_SZ /d 'Fake Network' /f >/dev/null 2>&1
wine_reg add 'HKLM\System\CurrentControlSet\Services\FakeNP\NetworkProvider' /v ProviderPath \
  /t REG_SZ /d 'C:\windows\system32\fake_network_provider.dll' /f >/dev/null 2>&1
make_folder 'C:\e2e'
recorded_connection
quiet=$WINEDEBUG
export WINEDEBUG=trace+mpr
: >"$E2E_ARTIFACTS/wine.log"
expect_stop "$refused" provider-box
export WINEDEBUG=$quiet
expect_eq "$(text_lines 'C:\e2e\network.log' | paste -sd ' ')" \
  $'cancel\tname=\\\\SRV\\PRACTICE\tforce=1\tresult=2250' "what the provider was asked"
use=$(grep -o 'WNetUseConnectionA.*' "$E2E_ARTIFACTS/wine.log" | head -1)
# Wine's trace writes a pointer in 8 hex digits, or 16 in a 64-bit process.
expect_match "$use" '^WNetUseConnectionA \(0{8}(0{8})?, [0-9A-F]+, [0-9A-F]+, "", 0x00000009,' \
  "the connection asked of Wine (no owner, empty user, flags 9)"
