# Two processes posting rows to one CONTROL.DB through the table engine at
# the same moment (append_rows.exe, the engine over the Win32 backends, as
# the programs of the suite post): both post all their rows, their posts
# overlap in time, and afterwards pxlib reads the table whole with its
# primary index: the two rows made beforehand and every row of both
# writers, once each, in key order. The engine opens it too.

source "$E2E_ROOT/tests/e2e/practice_data.sh"

data='C:\Virelle\Data'
control="$data\\CONTROL.DB"
rows_each=150

machine_with_practice_on_c
make_table control "$data" CONTROL.DB Claim=4 Recall=1
install_program "$E2E_BUILD/append_rows.exe" 'C:\e2e\append_rows.exe'

pids=()
for writer in A B; do
  wine_run_exe 120 'C:\e2e\append_rows.exe' "$data" CONTROL.DB "$writer" "$rows_each" \
    >>"$E2E_ARTIFACTS/wine.log" 2>&1 &
  pids+=($!)
done
release_writers "$data"
for i in 0 1; do
  rc=0
  wait "${pids[$i]}" || rc=$?
  expect_eq "$rc" 0 "exit code of writer $((i + 1))"
done
expect_writers_done "$data" "$rows_each"

read_back=$(px_rows "$control")
expect_eq "$(head -2 <<<"$read_back" | paste -sd ' ')" \
  "index accepted records $((2 + 2 * rows_each))" "pxlib's header of CONTROL.DB"
# Compared as sets; then the order pxlib reads them in is that of the key.
expect_eq "$(tail -n +3 <<<"$read_back" | LC_ALL=C sort)" \
  "$(writer_rows "$rows_each" 'row Claim|4' 'row Recall|1')" "the rows pxlib reads"
expect_eq "$(tail -n +3 <<<"$read_back" | cut -d'|' -f1 | LC_ALL=C sort -f -c 2>&1 && echo sorted)" \
  "sorted" "the order of the rows pxlib reads"
expect_eq "$(engine_message "$control")" "" "the engine's message opening CONTROL.DB"
