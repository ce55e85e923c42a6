# The data drive fills up while the fee table (the third file, 50 KB) is
# written: the error box names it, the two files before it are whole, and
# nothing of the third is left under its name or beside it; the later
# files are not tried. Exit code 0, lock file gone.

source "$E2E_ROOT/tests/e2e/installer_helpers.sh"

tiny=$(dirname "$WINEPREFIX")/tiny
mkdir -p "$tiny"
mount -t tmpfs -o size=64k tmpfs "$tiny" || give_up "no tmpfs for a small disk"
trap 'rc=$?; umount -l "$tiny"; (exit $rc); end_case' EXIT
ln -sfn "$tiny" "$WINEPREFIX/dosdevices/d:"

make_folder 'C:\Virelle'
put_text 'C:\Virelle\VRL.INI' <<'INI'
[Virelle]
WD=D:
INI
make_folder 'D:\Virelle\Data'
put_text 'D:\Virelle\VRLPRC.INI' <<INI
[RunOnce]
SDR134=$(date '+%d/%m/%Y')
INI
install_product 'C:\Virelle\VRL_DPD134.EXE'

start_program 'C:\Virelle\VRL_DPD134.EXE'
if wait_window 'Virelle' 60; then
  window_text 'Virelle'
  expect_match "$WINDOW_TEXT" 'text=Unable to write to D:\\Virelle\\Data\\Dpd_f_34\.DB\|\|[^|]+' \
    "the error box"
  gui_keys "$WINDOW_ID" Return
fi
wait_program

expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$(list_folder 'D:\Virelle\Data' | tr '\n' ' ')" "Dpd_c_34.DB Dpd_c_34.PX " \
  "what D:\\Virelle\\Data holds"
expect_carried_files 'D:\Virelle\Data' Dpd_c_34.DB Dpd_c_34.PX
expect_no_file 'D:\Virelle\VRL.LCK'
