#!/usr/bin/env bash
# The window's footprint beside a bare frameless Qt window of the same size, measured in one
# run on the release build:
#  - the generated skin on disk;
#  - process start to first frame on Qt's offscreen platform (quelta --screenshot with
#    --screenshot-after 0; bare_window --screenshot), median of `runs`, the two interleaved,
#    in wall time and in CPU time;
#  - resident memory after `seconds` under Xvfb;
#  - CPU of the live window on the monitor page over `seconds`, and hidden in the tray over
#    30 s (when quelta has --tray), in percent of one core;
#  - settings file parse and save (settings_bench medians).
# Usage: bench/window_figures.sh [runs] [seconds]
# FIGURES_BIN names another folder of built programs; FIGURES_DISPLAY the X display to start.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
seconds=${2:-60}
bin=${FIGURES_BIN:-build/release/bin}
[ -x "$bin/quelta" ] && [ -x "$bin/bare_window" ] || {
  echo "window_figures: build the release preset first (cmake --build --preset release)" >&2
  exit 1
}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
mkdir -m 700 "$work/rt"
export XDG_RUNTIME_DIR=$work/rt XDG_CONFIG_HOME=$work/cfg QUELTA_LOCK_DIR=$work/lock
mkdir -p "$work/lock"

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# Wall time and CPU time (user + system) of one run, in ms. On a machine busy with other work
# the CPU time is the figure to compare: the wall time waits for the cores as well.
elapsed_ms() {
  local TIMEFORMAT='%3R %3U %3S' times
  times=$({ time "$@" >/dev/null 2>&1; } 2>&1)
  awk '{printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000}' <<<"$times"
}
# CPU time of a running process in ns: the run time of each of its threads (schedstat), which
# is exact where clock ticks (10 ms each, a third of the tray's whole budget over 30 s) are
# not. A window left alone starts and ends no thread, so the live threads are all of it.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%d", s}'; }
percent() { awk -v d="$1" -v s="$2" 'BEGIN {printf "%.3f %%", 100 * d / 1e9 / s}'; }

skin=$(du -sb "$bin/Skin" | awk '{printf "%.1f MB", $1 / 1e6}')
pictures=$(find "$bin/Skin" -type f | wc -l)

for _ in $(seq "$runs"); do
  echo "q $(QT_QPA_PLATFORM=offscreen elapsed_ms "$bin/quelta" --simulate \
    --screenshot "$work/q.png" --screenshot-after 0)"
  echo "b $(QT_QPA_PLATFORM=offscreen elapsed_ms "$bin/bare_window" --screenshot "$work/b.png")"
done > "$work/start.txt"
start_q=$(awk '$1 == "q" {print $2}' "$work/start.txt" | median)
start_b=$(awk '$1 == "b" {print $2}' "$work/start.txt" | median)
cpu_q=$(awk '$1 == "q" {print $3}' "$work/start.txt" | median)
cpu_b=$(awk '$1 == "b" {print $3}' "$work/start.txt" | median)

# The live figures under a real X server when there is one to start.
display=${FIGURES_DISPLAY:-:$((90 + RANDOM % 9))}
if command -v Xvfb >/dev/null; then
  Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
  sleep 1
  export DISPLAY=$display
  command -v trayer >/dev/null && { trayer >/dev/null 2>&1 & sleep 0.5; }
else
  export QT_QPA_PLATFORM=offscreen
fi

"$bin/quelta" --simulate >/dev/null 2>&1 &
quelta=$!
"$bin/bare_window" >/dev/null 2>&1 &
bare=$!
sleep 2  # start-up is not idle
t0=$(cpu_ns $quelta)
sleep "$seconds"
t1=$(cpu_ns $quelta)
rss_q=$(awk '/VmRSS/ {printf "%.0f MiB", $2 / 1024}' "/proc/$quelta/status")
rss_b=$(awk '/VmRSS/ {printf "%.0f MiB", $2 / 1024}' "/proc/$bare/status")
cpu_live=$(percent $((t1 - t0)) "$seconds")
kill $quelta $bare; wait $quelta $bare 2>/dev/null || true

cpu_tray="n/a (no --tray)"
if "$bin/quelta" --help 2>&1 | grep -q -- '--tray'; then
  "$bin/quelta" --simulate --tray >/dev/null 2>&1 &
  quelta=$!
  sleep 2
  t0=$(cpu_ns $quelta)
  sleep 30
  t1=$(cpu_ns $quelta)
  cpu_tray=$(percent $((t1 - t0)) 30)
  kill $quelta; wait $quelta 2>/dev/null || true
fi

bench_ms() {
  "$bin/settings_bench" --benchmark_filter="^$1\$" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
    awk -F, '$1 ~ /_median"?$/ {printf "%.2f", $3}'
}
parse=$(bench_ms BM_LoadConfigSettingsFromFile)
save=$(bench_ms BM_SaveConfigSettingsToFile)

cat <<TABLE
| Figure | Quelta | Bare Qt window |
|---|---|---|
| generated skin on disk | $skin ($pictures files) | — |
| process start to first frame (offscreen), median of $runs | $start_q ms | $start_b ms |
| the same in CPU time (user + system), median of $runs | $cpu_q ms | $cpu_b ms |
| resident memory after $seconds s | $rss_q | $rss_b |
| CPU of the live window, monitor page, $seconds s | $cpu_live | — |
| CPU while hidden in the tray, 30 s | $cpu_tray | — |
| settings file loaded / saved (LoadConfigSettings / SaveConfigSettings) | $parse ms / $save ms | — |
TABLE
