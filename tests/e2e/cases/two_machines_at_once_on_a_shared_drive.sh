# Two machines of one practice (two Wine prefixes, each with its own
# wineserver) whose data drive D: is one shared host folder, working at
# the same moment:
# - both start the program at once on a practice with no fee tables, a
#   CONTROL.DB without a "Claim" row and NewClaim=1: both end with exit
#   code 0 and no box; D:\Virelle\Data holds the six files, each
#   byte-identical to the carried one, and CONTROL.DB one "Claim" row,
#   read whole by pxlib with its primary index; the lock file is gone;
# - then one engine writer on each machine posts rows to that CONTROL.DB at
#   once: every row of both is there once, and pxlib reads the table whole.
#
# Each wineserver keeps its own sharing modes, so the shared open of the
# data lock is not seen from the other machine here; byte-range locks, on
# which the table engine's writers wait for each other, reach the host
# file and are seen by both.

source "$E2E_ROOT/tests/e2e/startup_helpers.sh"
source "$E2E_ROOT/tests/e2e/practice_data.sh"

shared=$(mktemp -d "${TMPDIR:-/tmp}/vrl-practice.XXXXXX")
mkdir -p "$shared/Virelle"
data='D:\Virelle\Data'
control="$data\\CONTROL.DB"

# machine <1|2>: the prefix the next commands act on.
machine_prefix=()
machine_dir=()
machine() {
  export WINEPREFIX=${machine_prefix[$1]}
  _vrl_case_dir=${machine_dir[$1]}
}

# practice_machine: this prefix's D: is the shared folder; the program is
# installed apart from the practice, as on a workstation.
practice_machine() {
  map_drive D "$shared"
  make_folder 'C:\Virelle'
  put_text 'C:\Virelle\VRL.INI' <<'INI'
[Virelle]
WD=D:
INI
  install_product 'C:\Programs\VRL_DPD134.EXE'
  install_program "$E2E_BUILD/append_rows.exe" 'C:\e2e\append_rows.exe'
}

machine_prefix[1]=$WINEPREFIX
machine_dir[1]=$_vrl_case_dir
practice_machine
wine_new_prefix >/dev/null || give_up "no second prefix"
machine_prefix[2]=$WINEPREFIX
machine_dir[2]=$_vrl_case_dir
trap 'machine 2; wine_end_case; machine 1; end_case; rm -rf "$shared"' EXIT
wine_start_server || give_up "the second machine's wineserver did not start"
practice_machine

put_text 'D:\Virelle\VRLPRC.INI' <<INI
[Virelle]
NewClaim=1
[RunOnce]
SDR134=$(today)
INI
make_table control "$data" CONTROL.DB Recall=1

note "--- the program on both machines at once"
pids=()
for m in 1 2; do
  machine "$m"
  (cd "$(host_path 'C:\Programs')" && wine_run_exe 90 'C:\Programs\VRL_DPD134.EXE') \
    >>"$E2E_ARTIFACTS/wine.log" 2>&1 &
  pids+=($!)
done
box_seen=0
while kill -0 "${pids[0]}" 2>/dev/null || kill -0 "${pids[1]}" 2>/dev/null; do
  if [ "$box_seen" -eq 0 ] && gui_window_exists 'Virelle'; then
    box_seen=1
    screenshot box-shown
  fi
  sleep 0.2
done
for i in 0 1; do
  rc=0
  wait "${pids[$i]}" || rc=$?
  expect_eq "$rc" 0 "exit code on machine $((i + 1))"
done
expect_eq "$box_seen" 0 "boxes seen while the two ran"
expect_eq "$(list_folder "$data" | grep -vix 'CONTROL\.\(DB\|PX\)' | tr '\n' ' ')" \
  "$(fee_table_names | sort | tr '\n' ' ')" "the fee table files in $data"
expect_carried_files "$data" $(fee_table_names)
expect_eq "$(px_rows "$control" | paste -sd ' ')" \
  "index accepted records 2 row Claim| row Recall|1" "pxlib's reading of CONTROL.DB"
expect_no_file 'D:\Virelle\VRL.LCK'

note "--- an engine writer on each machine at once"
rows_each=100
machine 1
start_writer A "$data" "$rows_each"
machine 2
start_writer B "$data" "$rows_each"
finish_writers "$data" "$rows_each"
expect_writers_table "$control" "$rows_each" 'row Claim|' 'row Recall|1'
