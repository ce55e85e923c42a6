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
# Both have the table open before either posts.
for _ in $(seq 600); do
  is_file "$data\\A.ready" && is_file "$data\\B.ready" && break
  sleep 0.1
done
is_file "$data\\A.ready" && is_file "$data\\B.ready" || give_up "the writers did not open the table"
touch "$(host_path "$data")/go"
for i in 0 1; do
  rc=0
  wait "${pids[$i]}" || rc=$?
  expect_eq "$rc" 0 "exit code of writer $((i + 1))"
done

# "posted N ticks FIRST LAST": each writer's first post came before the
# other's last, so the two wrote the table at the same time.
read -r _ posted_a _ first_a last_a < <(text_lines "$data\\A.done")
read -r _ posted_b _ first_b last_b < <(text_lines "$data\\B.done")
note "writer A: $(text_lines "$data\\A.done")"
note "writer B: $(text_lines "$data\\B.done")"
expect_eq "$posted_a" "$rows_each" "rows posted by writer A"
expect_eq "$posted_b" "$rows_each" "rows posted by writer B"
if [ -n "${last_b:-}" ] && [ -n "${last_a:-}" ] &&
  [ "$first_a" -le "$last_b" ] && [ "$first_b" -le "$last_a" ]; then
  note "ok: the posts overlapped"
else
  fail "the two writers did not post at the same time"
fi

expected=$(
  {
    printf 'row Claim|4\nrow Recall|1\n'
    for writer in A B; do
      for n in $(seq "$rows_each"); do printf 'row %s%d|%d\n' "$writer" "$n" "$n"; done
    done
  } | LC_ALL=C sort
)
read_back=$(px_rows "$control")
expect_eq "$(head -2 <<<"$read_back" | paste -sd ' ')" \
  "index accepted records $((2 + 2 * rows_each))" "pxlib's header of CONTROL.DB"
# Compared as sets; then the order pxlib reads them in is that of the key.
expect_eq "$(tail -n +3 <<<"$read_back" | LC_ALL=C sort)" "$expected" "the rows pxlib reads"
expect_eq "$(tail -n +3 <<<"$read_back" | cut -d'|' -f1 | LC_ALL=C sort -f -c 2>&1 && echo sorted)" \
  "sorted" "the order of the rows pxlib reads"
expect_eq "$(engine_message "$control")" "" "the engine's message opening CONTROL.DB"
