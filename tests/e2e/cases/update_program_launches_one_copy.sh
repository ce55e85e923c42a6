# This program installed as C:\Virelle\VRL_DPD134.EXE, with no SDR134 date
# in the practice settings: its start meets its own entry among the update
# programs and launches one copy of itself, hidden, after dating SDR134;
# the copy finds the date and launches none. Exactly two processes of the
# program run in all; both end with the practice installed.

source "$E2E_ROOT/tests/e2e/startup_helpers.sh"

machine_with_practice_on_c
put_text 'C:\Virelle\VRLPRC.INI' <<'INI'
[RunOnce]
INI
install_product 'C:\Virelle\VRL_DPD134.EXE'

# The program's Windows processes as the host sees them (Wine names each
# process after its Windows path; the starter's own timeout and wine
# commands carry the path only as an argument), until none has been left
# for three seconds.
seen=$E2E_ARTIFACTS/processes.txt
: >"$seen"
start_program 'C:\Virelle\VRL_DPD134.EXE'
quiet_since=$SECONDS
until=$((SECONDS + 60))
while [ "$SECONDS" -lt "$until" ]; do
  found=$(pgrep -af '^C:\\Virelle\\VRL_DPD134\.EXE' || true)
  if [ -n "$found" ]; then
    printf '%s\n' "$found" >>"$seen"
    quiet_since=$SECONDS
  elif [ $((SECONDS - quiet_since)) -ge 3 ]; then
    break
  fi
  sleep 0.05
done
wait_program
expect_eq "$LAST_EXIT" 0 "exit code"
note "processes seen: $(cut -d' ' -f1 "$seen" | sort -u | paste -sd ' ')"
expect_eq "$(cut -d' ' -f1 "$seen" | sort -u | grep -c .)" 2 \
  "processes of C:\\Virelle\\VRL_DPD134.EXE (the start and its copy)"
expect_eq "$(ini_value 'C:\Virelle\VRLPRC.INI' RunOnce SDR134)" "$(today)" "[RunOnce] SDR134"
expect_carried_files 'C:\Virelle\Data' $(fee_table_names)
