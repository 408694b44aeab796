#!/usr/bin/env bash
# Prometheus' own tools and a real Prometheus against Quelta's metrics:
#   the rules file passes `promtool check rules` and its unit tests (quelta_rules_test.yml);
#   `quelta-ctl metrics` and the service's /metrics pass `promtool check metrics`;
#   a Prometheus started here on 127.0.0.1 (1 s scrapes, its own storage in a scratch folder)
#   scrapes `quelta-ctl serve` on the simulated PSU and its HTTP API returns the power that
#   `quelta-ctl status` reads from the same PSU.
#   prometheus_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
source_dir=$2
ctl="$bin/quelta-ctl"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quelta-prometheus-XXXXXX")
serve_pid="" prometheus_pid=""
cleanup() {
  [ -n "$prometheus_pid" ] && kill "$prometheus_pid" 2>/dev/null && wait "$prometheus_pid" 2>/dev/null
  [ -n "$serve_pid" ] && kill "$serve_pid" 2>/dev/null && wait "$serve_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "prometheus test: $*" >&2
  exit 1
}
export QUELTA_LOCK_DIR="$scratch/lock" XDG_CONFIG_HOME="$scratch/config" XDG_STATE_HOME="$scratch/state"
mkdir "$QUELTA_LOCK_DIR"

promtool check rules "$source_dir/packaging/prometheus/quelta-rules.yml" >/dev/null ||
  fail "promtool check rules refused the rules file"
promtool test rules "$source_dir/tests/packaging/quelta_rules_test.yml" >"$scratch/rules.out" 2>&1 ||
  fail "the rules' unit tests failed: $(cat "$scratch/rules.out")"

# Every reply fixed, so every poll reads the same power.
cat >"$scratch/fixed.json" <<'JSON'
{"monitor": {"noise": false, "replies": {
  "21": "C2 80 80 40 C1 C0 BA 00", "22": "BA 40 B9 C0 B9 80 94 00",
  "02": "1F 08 00 24 23 25 00 24", "03": "03 AA 06 D3 00 00 00 00",
  "04": "1E 00 21 00 25 00 1D 00", "05": "26 00 00 00 00 00 00 00"}}}
JSON
"$ctl" --simulate="$scratch/fixed.json" metrics >"$scratch/metrics.txt" || fail "quelta-ctl metrics failed"
promtool check metrics <"$scratch/metrics.txt" >"$scratch/check.out" 2>&1 ||
  fail "promtool check metrics refused quelta-ctl metrics: $(cat "$scratch/check.out")"
expected=$("$ctl" --simulate="$scratch/fixed.json" status --json | sed -n 's/.*"WattTotal": *\([-0-9.e+]*\).*/\1/p')
[ -n "$expected" ] || fail "status --json gave no WattTotal"

# Waits up to $2 tenths of a second for the command $1 to succeed.
wait_for() {
  local tries=$2
  until eval "$1"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

"$ctl" --simulate="$scratch/fixed.json" serve --listen 127.0.0.1:0 --cycle-ms 200 \
  >"$scratch/serve.out" 2>"$scratch/serve.err" &
serve_pid=$!
wait_for 'grep -q "^serving " "$scratch/serve.out"' 100 ||
  fail "the service did not say where it serves: $(cat "$scratch/serve.err")"
url=$(sed -n 's/^serving //p' "$scratch/serve.out")
wait_for 'curl -sf "$url" | grep -q "^quelta_poll_success 1"' 100 ||
  fail "the service served no successful poll at $url"
curl -sf "$url" | promtool check metrics >"$scratch/check.out" 2>&1 ||
  fail "promtool check metrics refused the served text: $(cat "$scratch/check.out")"
target=${url#http://}
target=${target%/metrics}

# A port nothing listens on; Prometheus tries the next when another takes it first.
started=""
for attempt in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 40000))
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && continue
  cat >"$scratch/prometheus.yml" <<YAML
global:
  scrape_interval: 1s
  evaluation_interval: 1s
scrape_configs:
  - job_name: quelta
    static_configs:
      - targets: ["$target"]
YAML
  prometheus --config.file="$scratch/prometheus.yml" --storage.tsdb.path="$scratch/tsdb" \
    --web.listen-address="127.0.0.1:$port" >"$scratch/prometheus.log" 2>&1 &
  prometheus_pid=$!
  if wait_for 'curl -sf "http://127.0.0.1:$port/-/ready" >/dev/null' 150; then
    started=yes
    break
  fi
  kill "$prometheus_pid" 2>/dev/null && wait "$prometheus_pid" 2>/dev/null
  prometheus_pid=""
done
[ -n "$started" ] || fail "Prometheus did not start: $(tail -5 "$scratch/prometheus.log")"

query="http://127.0.0.1:$port/api/v1/query?query=quelta_power_watts"
wait_for 'curl -sf "$query" | grep -q "\"result\":\[{"' 200 ||
  fail "Prometheus has no quelta_power_watts after 20 s: $(curl -s "$query")"
got=$(curl -sf "$query" | sed -n 's/.*"value":\[[0-9.]*,"\([-0-9.e+]*\)"\].*/\1/p')
awk -v a="$got" -v b="$expected" 'BEGIN { d = a - b; exit !(d < 1e-4 && d > -1e-4) }' ||
  fail "Prometheus says quelta_power_watts is '$got', the PSU reads $expected"

kill -TERM "$serve_pid"
wait "$serve_pid" && code=0 || code=$?
serve_pid=""
[ "$code" -eq 0 ] || fail "the service ended with $code on SIGTERM"
grep -q "stopped on SIGTERM" "$scratch/serve.err" || fail "the service did not say it stopped"
echo "prometheus OK: quelta_power_watts $got, the PSU reads $expected"
