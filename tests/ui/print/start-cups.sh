#!/usr/bin/env bash
# Makes the CUPS PDF printer the default printer for the real print test:
# starts the scheduler when it is not running (there is no init system to do
# it), adds the queue "PDF" of the cups-pdf backend if it is missing, and makes
# it the default. Usage: start-cups.sh STATE_DIR. When this script starts
# cupsd it writes the process id to STATE_DIR/cupsd.pid for stop-cups.sh.
set -euo pipefail
state=${1:?usage: start-cups.sh STATE_DIR}
queue=PDF
mkdir -p "$state"
rm -f "$state/cupsd.pid"

fail() {
  echo "start-cups: $*" >&2
  exit 1
}

command -v cupsd >/dev/null || fail "cupsd is missing: install the packages of scripts/packages.txt (cups)"
command -v lpadmin >/dev/null || fail "lpadmin is missing: install cups-client"
[[ -e /usr/lib/cups/backend/cups-pdf ]] || fail "the cups-pdf backend is missing: install printer-driver-cups-pdf"

running() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }

if ! running; then
  [[ $(id -u) -eq 0 ]] || fail "the CUPS scheduler is not running, and only root can start it here"
  mkdir -p /run/cups
  # In the foreground of its own session, so that its id is the one recorded
  # and no terminal or test runner holds it.
  setsid cupsd -f </dev/null >"$state/cupsd.log" 2>&1 &
  echo $! >"$state/cupsd.pid"
  for _ in $(seq 1 100); do
    running && break
    kill -0 "$(cat "$state/cupsd.pid")" 2>/dev/null || fail "cupsd stopped at once: $(tail -n 5 "$state/cupsd.log")"
    sleep 0.2
  done
  running || fail "cupsd did not answer within 20 seconds: $(tail -n 5 "$state/cupsd.log")"
fi

if ! lpstat -v "$queue" >/dev/null 2>&1; then
  model=$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF_opt\.ppd/ { print $1; exit }')
  [[ -n $model ]] || model=$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF/ { print $1; exit }')
  [[ -n $model ]] || fail "no CUPS-PDF driver among the printer models (lpinfo -m)"
  lpadmin -p "$queue" -E -v cups-pdf:/ -m "$model" 2>"$state/lpadmin.log" ||
    fail "could not add the queue $queue: $(cat "$state/lpadmin.log")"
fi
cupsenable "$queue" 2>/dev/null || true
cupsaccept "$queue" 2>/dev/null || true
lpadmin -d "$queue" 2>/dev/null || lpoptions -d "$queue" >/dev/null ||
  fail "could not make $queue the default printer"
lpstat -d | grep -q ": $queue\$" || fail "the default printer is not $queue: $(lpstat -d)"
echo "start-cups: the default printer is $queue$([[ -s $state/cupsd.pid ]] && echo ", cupsd started as $(cat "$state/cupsd.pid")")"
