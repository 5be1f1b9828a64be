#!/usr/bin/env bash
# Idle cost of Vigiax: CPU seconds per hour and resident memory, from runs of $SECONDS_RUN
# seconds (default 120), with both checks off and with both on at a 1-minute interval against
# local targets (127.0.0.1 pinged, a private nginx on 127.0.0.1 asked for a page). The peer is a
# bare Qt program with the same two timers (vgx_bench_idle_peer), run at the same time.
# Usage: bench/idle/idle_cost.sh <build dir>
set -euo pipefail
build=$(cd "${1:?build dir}" && pwd)
run_for=${SECONDS_RUN:-120}
program=$build/tests/e2e/vigiax-e2e
peer=$build/bench/idle/vgx_bench_idle_peer
work=$(mktemp -d /tmp/vgx-idle-XXXXXX)
chmod 755 "$work"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  if [[ -f $work/nginx/nginx.pid ]]; then
    kill -QUIT "$(cat "$work/nginx/nginx.pid")" 2>/dev/null || true
  fi
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A private nginx on a loopback port, answering 200 for /.
port=18089
mkdir -p "$work/nginx/html"
echo ok > "$work/nginx/html/index.html"
cat > "$work/nginx/nginx.conf" <<CONF
worker_processes 1;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 16; }
http {
  access_log off;
  client_body_temp_path $work/nginx;
  proxy_temp_path $work/nginx;
  fastcgi_temp_path $work/nginx;
  uwsgi_temp_path $work/nginx;
  scgi_temp_path $work/nginx;
  server { listen 127.0.0.1:$port; root $work/nginx/html; }
}
CONF
nginx -p "$work/nginx" -c "$work/nginx/nginx.conf" -e "$work/nginx/error.log"

# vgx.cfg lines, CR LF; $1 = checks on (0/1).
settings() {
  local on=$1
  printf '%s\r\n' '""' '"1"' '"7"' "$on" 0 '"127.0.0.1"' '"127.0.0.2"' 0 0 \
    "\"$(date +%d/%m/%Y)\"" '"http://127.0.0.1/"' 0 "$on" 0 0 0 0 0 180 0
}

start() {  # name, checks-on
  mkdir -p "$work/$1"
  cp "$program" "$work/$1/"
  settings "$2" > "$work/$1/vgx.cfg"
  env -C "$work/$1" -u DISPLAY QT_QPA_PLATFORM=offscreen VGX_TEST_HTTP_PORT=$port \
    ./vigiax-e2e >/dev/null 2>&1 &
  pids+=($!)
  eval "pid_$1=$!"
}

start off 0
start on 1
env -u DISPLAY QT_QPA_PLATFORM=offscreen "$peer" >/dev/null 2>&1 &
p_peer=$!
pids+=($!)
sleep 2
vpids=("$pid_off" "$pid_on")

cpu() {  # time on a CPU, in seconds (nanosecond counter of the scheduler)
  echo "scale=6; $(awk '{print $1}' "/proc/$1/schedstat") / 1000000000" | bc
}
rss() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }

declare -A start_cpu
for p in "${vpids[@]}" "$p_peer"; do start_cpu[$p]=$(cpu "$p"); done
sleep "$run_for"

per_hour() { echo "scale=3; ($(cpu "$1") - ${start_cpu[$1]}) * 3600 / $run_for" | bc; }
peer_h=$(per_hour "$p_peer")
peer_rss=$(rss "$p_peer")
echo "peer (bare Qt, same timers): $peer_h CPU s/h, RSS $peer_rss kB"
for p in "${vpids[@]}"; do
  dir=$(readlink "/proc/$p/cwd")
  name=$(basename "$dir")
  h=$(per_hour "$p")
  r=$(rss "$p")
  rratio=$(echo "scale=2; $r / $peer_rss" | bc)
  if [[ $(echo "$peer_h > 0" | bc) -eq 1 ]]; then
    ratio="x$(echo "scale=2; $h / $peer_h" | bc) of peer"
  else
    ratio="peer below the clock's resolution"
  fi
  echo "vigiax, checks $name: $h CPU s/h ($ratio), RSS $r kB (x$rratio of peer)"
done
grep -c "FALHA" "$work"/on/logs/*.txt 2>/dev/null | sed 's/^/failures logged with checks on: /' || true
