# The packing program started while the program runs: it asks for the data
# lock file alone (file_holder.exe ... wait, as the suite's packing program
# opens it) once the installer window is up, and is refused, because the
# running program holds the lock shared. The run is not disturbed: no box,
# exit code 0, the six files byte-identical to the carried ones. The packer
# gets the lock only after the program has given it back, when the window
# is gone; then a second run, started while the packer holds the lock,
# stops with the packing message and writes nothing.

source "$E2E_ROOT/tests/e2e/installer_helpers.sh"

lock='C:\Virelle\VRL.LCK'
machine_with_practice_on_c
updates_already_launched
install_product 'C:\Virelle\VRL_DPD134.EXE'
install_program "$E2E_BUILD/file_holder.exe" 'C:\e2e\file_holder.exe'

start_program 'C:\Virelle\VRL_DPD134.EXE'
wait_window ' Statement of Dental Remuneration 134' 60 || give_up "no installer window"
wine_run_exe 120 'C:\e2e\file_holder.exe' "$lock" 'C:\e2e\release' wait \
  >>"$E2E_ARTIFACTS/wine.log" 2>&1 &
packer=$!

held_too_early=0
box_seen=0
while kill -0 "$E2E_PID" 2>/dev/null; do
  # The lock is given back after the window has closed, so a lock held
  # while the window is still up was taken from under the program.
  if is_file "$lock.held" && gui_window_exists ' Statement of Dental Remuneration 134'; then
    held_too_early=1
  fi
  if [ "$box_seen" -eq 0 ] && gui_window_exists 'Virelle'; then
    box_seen=1
    screenshot box-shown
  fi
  sleep 0.05
done
wait_program
expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$box_seen" 0 "boxes seen during the run"
expect_eq "$held_too_early" 0 "the packer held the lock while the window was up"
if is_file "$lock.refused"; then
  note "ok: the packer was refused while the program ran"
else
  fail "the packer was never refused: it did not ask while the program ran"
fi
expect_data_files $(fee_table_names)
expect_carried_files 'C:\Virelle\Data' $(fee_table_names)

for _ in $(seq 100); do is_file "$lock.held" && break; sleep 0.1; done
if is_file "$lock.held"; then
  note "ok: the packer holds the lock once the program has ended"
else
  fail "the packer did not get the lock after the run"
fi

note "--- a run started while the packer holds the lock"
rm -f "$(host_path 'C:\Virelle\Data')"/*
start_program 'C:\Virelle\VRL_DPD134.EXE'
if wait_window 'Virelle' 60; then
  window_text 'Virelle'
  expect_line "$(grep -o 'text=.*' <<<"$WINDOW_TEXT")" "text=The program is currently packing." "the box"
  gui_keys "$WINDOW_ID" Return
fi
wait_program
expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$(list_folder 'C:\Virelle\Data')" "" "what C:\\Virelle\\Data holds"

touch "$(host_path 'C:\e2e')/release"
rc=0
wait "$packer" || rc=$?
expect_eq "$rc" 0 "exit code of the packer"
