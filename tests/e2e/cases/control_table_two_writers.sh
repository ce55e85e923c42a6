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

start_writer A "$data" "$rows_each"
start_writer B "$data" "$rows_each"
finish_writers "$data" "$rows_each"

expect_writers_table "$control" "$rows_each" 'row Claim|4' 'row Recall|1'
