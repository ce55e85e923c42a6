# Two instances of the program started at the same moment on one practice:
# both take the data lock shared, both find the fee tables missing and write
# them independently; both end with exit code 0 and no box, C:\Virelle\Data\
# holds the six files, each byte-identical to the carried one (no partial
# file and no temporary left), and the lock file is gone.

source "$E2E_ROOT/tests/e2e/installer_helpers.sh"

machine_with_practice_on_c
updates_already_launched
install_product 'C:\Virelle\VRL_DPD134.EXE'

pids=()
for _ in 1 2; do
  (cd "$(host_path 'C:\Virelle')" && wine_run_exe 90 'C:\Virelle\VRL_DPD134.EXE') \
    >>"$E2E_ARTIFACTS/wine.log" 2>&1 &
  pids+=($!)
done

# Any "Virelle" box while they run is an error of one of them; two
# installer windows on the screen at once show that the runs overlapped.
box_seen=0
most_windows=0
installer_title=$(gui_title_regex ' Statement of Dental Remuneration 134')
while kill -0 "${pids[0]}" 2>/dev/null || kill -0 "${pids[1]}" 2>/dev/null; do
  if [ "$box_seen" -eq 0 ] && gui_window_exists 'Virelle'; then
    box_seen=1
    screenshot box-shown
  fi
  windows=$(xdotool search --onlyvisible --name "$installer_title" 2>/dev/null | grep -c .)
  if [ "$windows" -gt "$most_windows" ]; then
    most_windows=$windows
    [ "$windows" -eq 2 ] && screenshot two-installer-windows
  fi
  sleep 0.2
done
for i in 0 1; do
  rc=0
  wait "${pids[$i]}" || rc=$?
  expect_eq "$rc" 0 "exit code of instance $((i + 1))"
done

expect_eq "$box_seen" 0 "boxes seen while the two ran"
expect_eq "$most_windows" 2 "installer windows shown at one time"
expect_data_files $(fee_table_names)
expect_carried_files 'C:\Virelle\Data' $(fee_table_names)
expect_no_file 'C:\Virelle\VRL.LCK'
