# The data folder cannot be written (Wine runs as an ordinary user here, so
# a read-only folder refuses writes as on Windows). Started hidden, as the
# suite starts update programs, the program shows the error box in front,
# naming the file; the test answers it. No file, partial or whole, exists
# under the table's name or beside it, the event is in the event log, the
# program ends with exit code 0 and the lock file is gone.

source "$E2E_ROOT/tests/e2e/installer_helpers.sh"

as_user 65534
machine_with_practice_on_c
updates_already_launched
make_folder 'C:\Virelle\Data'
chmod 555 "$(host_path 'C:\Virelle\Data')"
install_product 'C:\Virelle\VRL_DPD134.EXE'
install_program "$E2E_BUILD/hidden_launch.exe" 'C:\e2e\hidden_launch.exe'

start_program 'C:\e2e\hidden_launch.exe' 'C:\Virelle\VRL_DPD134.EXE'
if wait_window 'Virelle' 60; then
  window_shot error-box "$WINDOW_ID"
  window_text 'Virelle'
  expect_match "$WINDOW_TEXT" 'text=Unable to write to C:\\Virelle\\Data\\Dpd_c_34\.DB\|\|[^|]+' \
    "the error box"
  gui_keys "$WINDOW_ID" Return
fi
wait_program

expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$(list_folder 'C:\Virelle\Data')" "" "what C:\\Virelle\\Data holds"
expect_no_file 'C:\Virelle\VRL.LCK'
expect_match "$(text_lines 'C:\Virelle\EVENTS.XML')" \
  '<TEXT>Unable to write to C:\\Virelle\\Data\\Dpd_c_34\.DB' "the event log"
