#!/usr/bin/env bash
# Figures of the quelta window on the simulated PSU (release build), each run `runs` times:
#  - start: from process start until the first frame of the window is rendered and written
#    (--screenshot with --screenshot-after 0), in milliseconds;
#  - rss: resident memory after `seconds` of running, in KiB;
#  - cpu: CPU time used over those seconds, in percent of one core.
# Runs under Xvfb when it is there (a real X server paints the window), else offscreen.
# Usage: bench/mainwindow/window_figures.sh [runs] [seconds]
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-3}
seconds=${2:-60}
bin=build/release/bin/quelta
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work
ticks=$(getconf CLK_TCK)

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  QT_QPA_PLATFORM=offscreen "$bin" --simulate --screenshot "$work/s.png" --screenshot-after 0 \
    2>/dev/null
  echo $(( ($(date +%s%N) - start) / 1000000 ))
done | median | sed 's/^/start_ms_median /'

run_idle() {
  "$bin" --simulate 2>/dev/null &
  local pid=$!
  sleep 2  # start-up is not idle
  local t0; t0=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  sleep "$seconds"
  local t1; t1=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  local rss; rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo "$rss $(awk -v d=$((t1 - t0)) -v t="$ticks" -v s="$seconds" 'BEGIN {printf "%.3f", 100 * d / t / s}')"
}

results=$work/idle.txt
for _ in $(seq "$runs"); do
  if command -v xvfb-run >/dev/null && [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "$(declare -f run_idle); bin=$bin seconds=$seconds ticks=$ticks run_idle"
  else
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} run_idle
  fi
done > "$results"
awk '{print $1}' "$results" | median | sed 's/^/rss_kib_median /'
awk '{print $2}' "$results" | median | sed 's/^/cpu_percent_median /'
