#!/usr/bin/env bash
# Stops the scheduler that start-cups.sh started (and only that one).
# Usage: stop-cups.sh STATE_DIR.
set -euo pipefail
state=${1:?usage: stop-cups.sh STATE_DIR}
pidfile=$state/cupsd.pid
[[ -s $pidfile ]] || exit 0
pid=$(cat "$pidfile")
rm -f "$pidfile"
[[ $(cat "/proc/$pid/comm" 2>/dev/null) == cupsd ]] || exit 0
kill "$pid"
for _ in $(seq 1 50); do
  kill -0 "$pid" 2>/dev/null || exit 0
  sleep 0.1
done
echo "stop-cups: cupsd $pid did not stop" >&2
exit 1
