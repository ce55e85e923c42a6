# The logon Run key (HKLM\Software\Microsoft\Windows\CurrentVersion\Run) and
# the spell-checker's default after starts of the program:
# - a first start writes VRL_BOOT and VRL_TRAY with their quoted paths in
#   C:\Virelle\, and TX14=TX32 under HKLM\Software\Wintertree\WSpell;
# - Tray=0 in the machine settings removes VRL_TRAY; VRL_BOOT holding the
#   path in other letter case, or without quotes, is rewritten; a TX14 value
#   that is there is kept;
# - the CRV family writes CRV_BOOT and CRV_TRAY with paths in C:\Corvane\;
# - the boot program is copied from the data folder (here D:\Virelle\) into
#   the install folder when it is missing there, and never replaced later.

source "$E2E_ROOT/tests/e2e/startup_helpers.sh"

run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
spell_key='HKLM\Software\Wintertree\WSpell'

# reg_value <key> <name>: the value's data, empty when there is none.
reg_value() {
  wine_reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 \{1,\}REG_[A-Z_]* \{1,\}//p"
}

mkdir -p "$(case_folder)/drive_d/Virelle"
map_drive D "$(case_folder)/drive_d"
make_folder 'C:\Virelle'
put_text 'D:\Virelle\VRLPRC.INI' <<INI
[RunOnce]
SDR134=$(today)
INI
printf 'boot program, first build' >"$(host_path 'D:\Virelle\VRL_BOOT.EXE')"
machine_settings() {  # [extra lines]
  printf '[Virelle]\r\nWD=D:\r\n%s' "${1:-}" >"$(host_path 'C:\Virelle\VRL.INI')"
}
install_product 'C:\Programs\VRL_DPD134.EXE'

note "--- first start"
machine_settings
wine_reg delete "$run_key" /v VRL_BOOT /f >/dev/null 2>&1
run_program 'C:\Programs\VRL_DPD134.EXE'
expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$(reg_value "$run_key" VRL_BOOT)" '"C:\Virelle\VRL_BOOT.EXE"' "VRL_BOOT"
expect_eq "$(reg_value "$run_key" VRL_TRAY)" '"C:\Virelle\VRL_TRAY.EXE"' "VRL_TRAY"
expect_eq "$(reg_value "$spell_key" TX14)" 'TX32' "TX14"
expect_eq "$(cat "$(host_path 'C:\Virelle\VRL_BOOT.EXE')" 2>/dev/null)" \
  'boot program, first build' "the boot program copied into C:\\Virelle\\"

note "--- Tray=0, entries and value that differ"
machine_settings $'Tray=0\r\n'
wine_reg add "$run_key" /v VRL_BOOT /t REG_SZ /d '"c:\virelle\vrl_boot.exe"' /f >/dev/null 2>&1
wine_reg add "$spell_key" /v TX14 /t REG_SZ /d 'UK English' /f >/dev/null 2>&1
printf 'boot program, second build' >"$(host_path 'D:\Virelle\VRL_BOOT.EXE')"
run_program 'C:\Programs\VRL_DPD134.EXE'
expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$(reg_value "$run_key" VRL_BOOT)" '"C:\Virelle\VRL_BOOT.EXE"' "VRL_BOOT (was in lower case)"
expect_eq "$(wine_reg query "$run_key" /v VRL_TRAY >/dev/null 2>&1 && echo there || echo gone)" \
  gone "VRL_TRAY"
expect_eq "$(reg_value "$spell_key" TX14)" 'UK English' "TX14"
expect_eq "$(cat "$(host_path 'C:\Virelle\VRL_BOOT.EXE')")" 'boot program, first build' \
  "the boot program in C:\\Virelle\\ (never replaced)"

note "--- VRL_BOOT without quotes"
wine_reg add "$run_key" /v VRL_BOOT /t REG_SZ /d 'C:\Virelle\VRL_BOOT.EXE' /f >/dev/null 2>&1
run_program 'C:\Programs\VRL_DPD134.EXE'
expect_eq "$(reg_value "$run_key" VRL_BOOT)" '"C:\Virelle\VRL_BOOT.EXE"' "VRL_BOOT (was without quotes)"

note "--- the CRV family"
make_folder 'C:\Corvane'
put_text 'C:\Corvane\CRV.INI' <<'INI'
[Corvane]
WB=C:
INI
put_text 'C:\Corvane\CRVCLINIC.INI' <<INI
[RunOnce]
SDR134=$(today)
INI
install_product 'C:\Programs\CRV_DPD134.EXE'
run_program 'C:\Programs\CRV_DPD134.EXE'
expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$(reg_value "$run_key" CRV_BOOT)" '"C:\Corvane\CRV_BOOT.EXE"' "CRV_BOOT"
expect_eq "$(reg_value "$run_key" CRV_TRAY)" '"C:\Corvane\CRV_TRAY.EXE"' "CRV_TRAY"
expect_eq "$(reg_value "$run_key" VRL_BOOT)" '"C:\Virelle\VRL_BOOT.EXE"' "VRL_BOOT, left alone"
