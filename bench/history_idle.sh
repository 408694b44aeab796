#!/usr/bin/env bash
# The window left alone with the history recording on and off: two copies of quelta on the
# simulated PSU under one Xvfb, side by side (each with its own settings, state, runtime and
# lock folders), the monitor page shown. After `settle` seconds of start-up each is watched for
# `seconds`:
#  - CPU in percent of one core, from the utime + stime deltas of /proc/PID/stat (clock ticks)
#    and, finer, from the run time of every thread (/proc/PID/task/*/schedstat);
#  - resident memory (VmRSS) and its peak (VmHWM) from /proc/PID/status at the end;
#  - the polls each added to its record meanwhile (sqlite3): the copy recording on did record,
#    the other did not.
# Usage: bench/history_idle.sh [settle] [seconds]     (defaults 60 and 60)
# IDLE_BIN names another folder of built programs; IDLE_DISPLAY the X display to start;
# IDLE_TRAY=1 starts both put away in the tray (quelta --tray, beside a tray of trayer's).
set -euo pipefail
cd "$(dirname "$0")/.."
settle=${1:-60}
seconds=${2:-60}
bin=${IDLE_BIN:-build/release/bin}
[ -x "$bin/quelta" ] && [ -x "$bin/quelta-ctl" ] || {
  echo "history_idle: build quelta and quelta-ctl first (cmake --build --preset release)" >&2
  exit 1
}
command -v Xvfb >/dev/null || { echo "history_idle: needs Xvfb" >&2; exit 1; }
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

display=${IDLE_DISPLAY:-:$((80 + RANDOM % 9))}
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
export DISPLAY=$display
where="monitor page"
extra=()
if [ "${IDLE_TRAY:-0}" = 1 ]; then
  command -v trayer >/dev/null || { echo "history_idle: IDLE_TRAY needs trayer" >&2; exit 1; }
  trayer >/dev/null 2>&1 &
  sleep 0.5
  where="in the tray"
  extra=(--tray)
fi

# One copy's private folders and settings; "off" switches its recording off first.
start() {
  local name=$1 dir=$work/$1
  mkdir -p "$dir/cfg" "$dir/state" "$dir/lock" && mkdir -m 700 "$dir/rt"
  (
    export XDG_CONFIG_HOME=$dir/cfg XDG_STATE_HOME=$dir/state XDG_RUNTIME_DIR=$dir/rt \
      QUELTA_LOCK_DIR=$dir/lock
    "$bin/quelta-ctl" history "$name" >/dev/null
    exec "$bin/quelta" --simulate "${extra[@]}" >"$dir/out.txt" 2>&1
  ) &
  echo $!
}

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
run_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%d", s}'; }
polls() {
  local file=$work/$1/state/quelta/history.sqlite
  [ -f "$file" ] && command -v sqlite3 >/dev/null &&
    sqlite3 -readonly "$file" 'SELECT (SELECT count(*) FROM poll) + (SELECT coalesce(sum(polls), 0) FROM minute)' 2>/dev/null ||
    echo 0
}

on=$(start on)
off=$(start off)
sleep "$settle"
for pid in $on $off; do
  kill -0 "$pid" 2>/dev/null || { echo "history_idle: quelta $pid ended early" >&2; exit 1; }
done
hz=$(getconf CLK_TCK)
t_on=$(ticks "$on") t_off=$(ticks "$off") n_on=$(run_ns "$on") n_off=$(run_ns "$off")
p0=$(polls on) q0=$(polls off)
sleep "$seconds"
t_on=$(($(ticks "$on") - t_on)) t_off=$(($(ticks "$off") - t_off))
n_on=$(($(run_ns "$on") - n_on)) n_off=$(($(run_ns "$off") - n_off))
added=$(($(polls on) - p0)) added_off=$(($(polls off) - q0))
status() { awk -v k="$2:" '$1 == k {printf "%.1f MiB", $2 / 1024}' "/proc/$1/status"; }
pct_ticks() { awk -v t="$1" -v hz="$hz" -v s="$seconds" 'BEGIN {printf "%.3f %%", 100 * t / hz / s}'; }
pct_ns() { awk -v n="$1" -v s="$seconds" 'BEGIN {printf "%.3f %%", 100 * n / 1e9 / s}'; }

cat <<TABLE
| Window, $where, ${seconds} s after ${settle} s | recording on | recording off |
|---|---|---|
| CPU, /proc/PID/stat utime+stime | $(pct_ticks "$t_on") | $(pct_ticks "$t_off") |
| CPU, run time of all threads | $(pct_ns "$n_on") | $(pct_ns "$n_off") |
| resident memory (VmRSS) | $(status "$on" VmRSS) | $(status "$off" VmRSS) |
| peak resident memory (VmHWM) | $(status "$on" VmHWM) | $(status "$off" VmHWM) |
| polls recorded meanwhile | $added | $added_off |
TABLE
