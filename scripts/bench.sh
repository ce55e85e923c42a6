#!/usr/bin/env bash
# The benchmarks (make bench), on builds that exist already:
#
#   wine         whole runs of VRL_DPD134.exe under Wine on a prepared
#                practice, against the baseline program baseline_window.exe
#                started the same way: median wall time, the overhead beyond
#                the program's two one-second pauses, peak memory, and the
#                size of the executable;
#   engine       the table engine's Google Benchmark program, with pxlib
#                reading the same tables: times, ratios to pxlib, growth
#                with the table's size;
#   screenshots  the end-to-end cases that picture the installer window, the
#                data drive dialog and the box of a failed write, copied to
#                docs/screenshots/ for the README.
#
#   scripts/bench.sh [stage...]      default: wine engine screenshots
#
# Figures go to build/artifacts/bench/ (figures.md collects them as the
# README shows them). BENCH_RUNS sets the number of timed runs (default 9).
# The Wine stages run the Windows build that the Wine tests run: build/windows
# under 32-bit Wine, or build/windows64 under 64-bit Wine on a machine that
# cannot run 32-bit programs (tests/wine/lib.sh chooses and says so);
# WINDOWS=<folder> names another. NATIVE (default build/native) is the
# native build with engine_bench and the practice_tables fixture tool.
set -uo pipefail

cd "$(dirname "$0")/.." || exit 2
ROOT=$PWD
NATIVE=${NATIVE:-$ROOT/build/native}
WINDOWS=${WINDOWS:-}      # default: the build tests/wine/lib.sh runs
OUT=$ROOT/build/artifacts/bench
RUNS=${BENCH_RUNS:-9}
PAUSES_MS=2000           # the installer's two one-second pauses
OVERHEAD_TARGET_MS=100
SIZE_TARGET_BYTES=2000000
mkdir -p "$OUT"

stages=("$@")
[ $# -eq 0 ] && stages=(wine engine screenshots)

# measured_line: the first line of a stage's figures.
measured_line() { echo "Measured $(date '+%Y-%m-%d %H:%M') on $(nproc) cores${1:+, $1}."; }

# median: the median of the numbers on standard input, one a line.
median() {
  sort -n | awk '{ v[NR] = $1 } END {
    if (NR == 0) exit 1
    if (NR % 2) print v[(NR + 1) / 2]; else print int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

# --- whole runs under Wine ------------------------------------------------

# timed_run <label> <windows path> [argument...]: one run from the program's
# folder, as a double-click starts it; appends "<label> <ms> <peak KiB>
# <exit code>" to runs.txt. The peak is the largest resident set of the
# Wine loader's process, which is the Windows program's process (with
# Wine's DLLs), as /usr/bin/time reports it.
timed_run() {
  local label=$1 program=$2 started ended rc peak
  shift 2
  started=$(date +%s%N)
  (cd "$PRACTICE" && timeout --kill-after=5 60 /usr/bin/time -f '%M' -o "$OUT/peak.txt" \
    wine "$program" "$@") >>"$OUT/wine.log" 2>&1
  rc=$?
  ended=$(date +%s%N)
  peak=$(tail -1 "$OUT/peak.txt" 2>/dev/null)
  echo "$label $(((ended - started) / 1000000)) ${peak:-0} $rc" >>"$OUT/runs.txt"
  [ "$rc" -eq 0 ] || { echo "$label ended with exit code $rc (see $OUT/wine.log)" >&2; return 1; }
  # A run must leave nothing behind that would run beside the next one.
  [ -z "$(case_programs)" ] || { echo "programs still run after $label" >&2; return 1; }
}

# installer_run <label>: the fee tables removed first, so every run does the
# whole job and writes the six files.
installer_run() {
  rm -f "$PRACTICE"/Data/Dpd_[cf]_34.*
  timed_run "$1" 'C:\Virelle\VRL_DPD134.EXE' || return 1
  local written
  written=$(find "$PRACTICE/Data" -maxdepth 1 -name 'Dpd_[cf]_34.*' | wc -l)
  [ "$written" -eq 6 ] || { echo "$1 wrote $written of the six fee tables" >&2; return 1; }
}

# The practice as a program of the suite leaves it: data drive C:, this
# update recorded as launched (otherwise the first run starts a copy of
# itself), and the practice's control and users' tables.
prepare_practice() {
  PRACTICE=$WINEPREFIX/drive_c/Virelle
  mkdir -p "$PRACTICE/Data"
  printf '[Virelle]\r\nWD=C:\r\n' >"$PRACTICE/VRL.INI"
  printf '[RunOnce]\r\nSDR134=%s\r\n' "$(date +%d/%m/%Y)" >"$PRACTICE/VRLPRC.INI"
  "$TABLES" control "$PRACTICE/Data" CONTROL.DB Claim=1 Recall=1 >/dev/null || return 1
  "$TABLES" users "$PRACTICE/Data" USER.DB 1 2 3 >/dev/null || return 1
  cp "$EXE" "$PRACTICE/VRL_DPD134.EXE"
  cp "$BASELINE" "$PRACTICE/baseline_window.exe"
}

# strip_tool <exe>: the MinGW strip for the executable's architecture.
strip_tool() {
  case $(objdump -f "$1" 2>/dev/null | sed -n 's/.*file format //p') in
    pei-x86-64) echo x86_64-w64-mingw32-strip ;;
    *) echo i686-w64-mingw32-strip ;;
  esac
}

stage_wine() {
  source tests/wine/lib.sh
  source tests/e2e/lib.sh  # case_programs
  local build=${WINDOWS:-${VRL_WINE_BUILD:-$ROOT/build/windows}} note version
  note=$(type -t wine_arch_note >/dev/null && wine_arch_note)
  EXE=$build/VRL_DPD134.exe
  BASELINE=$build/baseline_window.exe
  TABLES=$NATIVE/tests/e2e/fixtures/practice_tables
  local file
  for file in "$EXE" "$BASELINE" "$TABLES"; do
    [ -x "$file" ] || [ -f "$file" ] || { echo "no $file: build it first (make bench)" >&2; return 2; }
  done
  [ -x /usr/bin/time ] || { echo "no /usr/bin/time (Debian package time) for the peak memory" >&2; return 2; }
  rm -f "$OUT/runs.txt" "$OUT/wine.log"
  wine_setup || { echo "Wine could not be set up" >&2; return 2; }
  version=$(wine --version 2>/dev/null)
  wine_new_prefix >/dev/null || return 2
  prepare_practice || { echo "the practice could not be prepared" >&2; return 2; }
  wine_start_server || { echo "the wineserver did not start" >&2; return 2; }

  echo "Warm-up: one run of each program (the installer's first run also completes the practice)"
  timed_run warmup-bare 'C:\Virelle\baseline_window.exe' --no-window &&
    timed_run warmup-window 'C:\Virelle\baseline_window.exe' &&
    installer_run warmup-installer || return 1
  echo "Timed: $RUNS rounds, each the baseline without a window, the baseline, the installer"
  local round
  for ((round = 1; round <= RUNS; round++)); do
    timed_run bare 'C:\Virelle\baseline_window.exe' --no-window &&
      timed_run window 'C:\Virelle\baseline_window.exe' &&
      installer_run installer || return 1
  done
  wine_cleanup

  local bare window installer overhead overhead_bare peak_installer peak_window size stripped
  local fastest_installer fastest_window
  column() { awk -v l="$1" -v c="$2" '$1 == l { print $c }' "$OUT/runs.txt"; }
  bare=$(column bare 2 | median)
  window=$(column window 2 | median)
  installer=$(column installer 2 | median)
  overhead=$((installer - PAUSES_MS - window))
  overhead_bare=$((installer - PAUSES_MS - bare))
  # The fastest run of each is the one least disturbed by other work on the
  # machine.
  fastest_installer=$(column installer 2 | sort -n | head -1)
  fastest_window=$(column window 2 | sort -n | head -1)
  peak_installer=$(column installer 3 | sort -n | tail -1)
  peak_window=$(column window 3 | sort -n | tail -1)
  size=$(stat -c %s "$EXE")
  stripped=$("$(strip_tool "$EXE")" -o "$OUT/stripped.exe" "$EXE" && stat -c %s "$OUT/stripped.exe")
  rm -f "$OUT/stripped.exe"
  {
    measured_line "$version, ${EXE#"$ROOT"/}${note:+ ($note)}"
    echo
    echo "| Whole run under Wine ($RUNS timed runs after a warm-up, medians) | |"
    echo "|---|---|"
    echo "| VRL_DPD134.EXE, process start to exit, writing the six tables | $installer ms (runs: $(column installer 2 | sort -n | paste -sd ' ')) |"
    echo "| baseline: one window shown and closed | $window ms |"
    echo "| baseline: no window | $bare ms |"
    echo "| overhead beyond the $PAUSES_MS ms of pauses, against the window baseline (target <= $OVERHEAD_TARGET_MS ms) | $overhead ms$( [ "$overhead" -le "$OVERHEAD_TARGET_MS" ] || echo ' MISSED') |"
    echo "| the same against the baseline without a window | $overhead_bare ms |"
    echo "| the same from the fastest run of each: installer $fastest_installer ms, window baseline $fastest_window ms | $((fastest_installer - PAUSES_MS - fastest_window)) ms |"
    echo "| peak resident memory of the program's process (Wine loader, /usr/bin/time) | $peak_installer KiB (baseline $peak_window KiB) |"
    echo "| VRL_DPD134.exe size (target < $SIZE_TARGET_BYTES bytes) | $size bytes$( [ "$size" -lt "$SIZE_TARGET_BYTES" ] || echo ' MISSED'), $stripped stripped |"
    # The program delivered is the 32-bit build, whichever one ran here.
    local product=$ROOT/build/windows/VRL_DPD134.exe product_size
    if [ "$EXE" != "$product" ] && [ -f "$product" ]; then
      product_size=$(stat -c %s "$product")
      echo "| the 32-bit VRL_DPD134.exe (build/windows) size | $product_size bytes$( [ "$product_size" -lt "$SIZE_TARGET_BYTES" ] || echo ' MISSED') |"
    fi
  } >"$OUT/wine.md"
  cat "$OUT/wine.md"
}

# --- the table engine -------------------------------------------------------

# engine_table <json>: the Google Benchmark results as Markdown tables. The
# growth column divides a time by the one of the size before (the rows grow
# a hundredfold, then tenfold), so a linear cost shows x 100, then x 10.
engine_table() {
  awk '
    /"name":/        { gsub(/[",]/, "", $2); name = $2 }
    /"real_time":/   { gsub(/,/, "", $2); time = $2 }
    /"time_unit":/   { gsub(/[",]/, "", $2); unit = $2
                       scale = unit == "ns" ? 1e-6 : unit == "us" ? 1e-3 : unit == "s" ? 1e3 : 1
                       ms[name] = time * scale }
    function show(t) { return t >= 100 ? sprintf("%.0f ms", t) : t >= 1 ? sprintf("%.1f ms", t) : sprintf("%.0f us", t * 1000) }
    function perRow(t, rows) { return sprintf("%.0f ns", t * 1e6 / rows) }
    END {
      split("1000 100000 1000000", sizes, " ")
      print "| Table engine (16 KB blocks; Id I key, Name A30, Amount $) | rows | engine | engine per row | pxlib | engine / pxlib | growth from the size before |"
      print "|---|---|---|---|---|---|---|"
      n = split("Open:Open Scan:Scan LocateName:SearchName", ops, " ")
      label["Open"] = "open (header, block list, primary index)"
      label["Scan"] = "scan, reading every Name"
      label["LocateName"] = "locate the last Name, without regard to case"
      for (o = 1; o <= n; o++) {
        split(ops[o], pair, ":")
        for (s = 1; s <= 3; s++) {
          e = ms["BM_Engine" pair[1] "/" sizes[s]]; p = ms["BM_Pxlib" pair[2] "/" sizes[s]]
          growth = s > 1 ? sprintf("x %.1f (rows x %d)", e / ms["BM_Engine" pair[1] "/" sizes[s - 1]], sizes[s] / sizes[s - 1]) : ""
          printf "| %s | %d | %s | %s | %s | %.3g | %s |\n", label[pair[1]], sizes[s], show(e), perRow(e, sizes[s]), show(p), e / p, growth
        }
      }
      print ""
      print "| Append + post of 1,000 rows to a keyed table | rows before | time | per row | growth from the size before |"
      print "|---|---|---|---|---|"
      split("0 1", orders, " ")
      order[0] = "keys after the last, ascending"; order[1] = "keys spread over the table, random order"
      for (r = 1; r <= 2; r++) {
        for (s = 1; s <= 3; s++) {
          t = ms["BM_EngineAppendPost1000/rows:" sizes[s] "/random:" orders[r]]
          growth = s > 1 ? sprintf("x %.1f (rows x %d)", t / ms["BM_EngineAppendPost1000/rows:" sizes[s - 1] "/random:" orders[r]], sizes[s] / sizes[s - 1]) : ""
          printf "| %s | %d | %s | %.0f us | %s |\n", order[orders[r]], sizes[s], show(t), t, growth
        }
      }
    }' "$1"
}

stage_engine() {
  local bench=$NATIVE/tests/bench/engine_bench
  [ -x "$bench" ] || { echo "no $bench: build it first (make bench)" >&2; return 2; }
  "$bench" --benchmark_out="$OUT/engine.json" --benchmark_out_format=json | tee "$OUT/engine.txt" ||
    return 1
  { measured_line "engine_bench of ${bench#"$ROOT"/}"; echo; engine_table "$OUT/engine.json"; } >"$OUT/engine.md"
  echo
  cat "$OUT/engine.md"
}

# --- screenshots --------------------------------------------------------------

# shot <case> <picture> <name under docs/screenshots/>
shot() { cp "build/artifacts/e2e/$1/$2.png" "docs/screenshots/$3.png"; }

stage_screenshots() {
  (
    [ -z "$WINDOWS" ] || export E2E_BUILD=$WINDOWS
    tests/e2e/run.sh installer_writes_fee_tables data_drive_dialog_confirm \
      installer_data_folder_not_writable
  ) || return 1
  mkdir -p docs/screenshots
  shot installer_writes_fee_tables installer-window installer-window &&
    shot data_drive_dialog_confirm data-drive-dialog data-drive-dialog &&
    shot installer_data_folder_not_writable error-box write-error-box &&
    echo "docs/screenshots/: installer-window.png, data-drive-dialog.png, write-error-box.png taken anew"
}

failed=0
for stage in "${stages[@]}"; do
  echo "=== $stage"
  case $stage in
    wine) (stage_wine) ;;
    engine) stage_engine ;;
    screenshots) stage_screenshots ;;
    *) echo "unknown stage '$stage' (wine, engine, screenshots)" >&2; exit 2 ;;
  esac || { echo "stage $stage failed"; failed=1; }
done

{
  for part in wine engine; do
    [ -f "$OUT/$part.md" ] && { cat "$OUT/$part.md"; echo; }
  done
} >"$OUT/figures.md"
echo
echo "Figures: ${OUT#"$ROOT"/}/figures.md"
exit "$failed"
