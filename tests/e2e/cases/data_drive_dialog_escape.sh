# No data drive in the machine settings, and the user leaves the data drive
# dialog with Escape: the program ends with exit code 0 before anything is
# written or created (no WD, no Data folder, no practice settings, no lock).

source "$E2E_ROOT/tests/e2e/installer_helpers.sh"

make_folder 'C:\Virelle'
put_text 'C:\Virelle\VRL.INI' <<'INI'
[Virelle]
INI
install_product 'C:\Virelle\VRL_DPD134.EXE'
before=$(cd "$(host_path 'C:\Virelle')" && find . | sort && md5sum VRL.INI)

start_program 'C:\Virelle\VRL_DPD134.EXE'
wait_window 'Virelle - Select Data Drive' || give_up "the data drive dialog did not appear"
gui_keys "$WINDOW_ID" Escape
wait_program

expect_eq "$LAST_EXIT" 0 "exit code"
# Startup\ is made at process start, before the start-up, for every program.
after=$(cd "$(host_path 'C:\Virelle')" && find . | grep -vx './Startup' | sort && md5sum VRL.INI)
expect_eq "$after" "$before" "C:\\Virelle after the run"
gui_window_exists ' Statement of Dental Remuneration 134' && fail "the installer window appeared"
