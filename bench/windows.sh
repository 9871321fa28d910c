#!/usr/bin/env bash
# The windows beside norvane-search on the same files: for listings of 1 and
# 3 million hit lines, the time from the start command to the listing drawn
# and the peak memory of the program, against the command line's time with
# its output read through a pipe; the same for a local search of a million
# lines; how long a page down and a jump to the end take to draw; for the
# local listing, the first key typed into it, until drawn. Then a print of
# the million-line listing to a PDF printer: the time from 印刷 to its
# progress window, and from キャンセル to the windows answering again.
#
# Goals: drawn within 3 x the command line's time; peak RSS within
# 2 x the listing's bytes + 150 MB; a page or a jump drawn within 16 ms; the
# first key in the local listing drawn within 100 ms, with the peak RSS still
# within the listing's bytes + 150 MB; the print's progress window on screen
# within 0.1 s of its half second of quiet (it is shown after half a second,
# as a search's is), and the windows answering within half a second of
# キャンセル.
# Settings (environment):
#   NORVANE_BUILD         release build folder   (build/release)
#   NORVANE_WINDOW_FILES  folder of the files    (build/bench-windows)
#   NORVANE_BENCH_RUNS    runs per command       (5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORVANE_BUILD:-$root/build/release}
search=$(realpath "$build/cli/norvane-search")
bench=$(realpath "$build/bench/norvane_window_bench")
dir=${NORVANE_WINDOW_FILES:-$root/build/bench-windows}
runs=${NORVANE_BENCH_RUNS:-5}

"$root/bench/install-tool.sh" hyperfine
mkdir -p "$dir"
if [[ ! -f $dir/hits3m.txt ]]; then
  echo "Making the files in $dir"
  "$bench" make "$dir"
fi
cd "$dir"
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
field() { sed -n "s/.*\b$1=\([0-9.]*\).*/\1/p"; }

printf '%-30s %9s %9s %6s %10s %9s %9s %8s %8s %9s\n' case cli window ratio listing 'peak RSS' 'RSS goal' 'page' 'jump' 'first key'
status=0
while read -r kind file phrase; do
  flag=()
  [[ $kind == local ]] && flag=(--local)
  hyperfine -N -i --output=pipe --warmup 1 --runs "$runs" --export-json "$results/cli.json" \
    "$search ${flag[*]} $phrase $file" >/dev/null
  cli=$(sed -n 's/.*"mean": *\([0-9.e-]*\).*/\1/p' "$results/cli.json" | head -1)
  : >"$results/window"
  for ((i = 0; i < runs; i++)); do
    "$bench" "$kind" "$file" "$phrase" >>"$results/window" 2> >(grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints >&2)
  done
  drawn=$(field drawn_ms <"$results/window" | median)
  bytes=$(field listing_bytes <"$results/window" | head -1)
  rss=$(field peak_rss_kb <"$results/window" | sort -n | tail -1)
  page=$(field page_ms <"$results/window" | sort -n | tail -1)
  jump=$(field jump_ms <"$results/window" | sort -n | tail -1)
  key=$(field key_ms <"$results/window" | sort -n | tail -1)
  read -r ratio goal ok < <(awk -v c="$cli" -v d="$drawn" -v b="$bytes" -v r="$rss" -v p="${page:-0}" -v j="${jump:-0}" \
    -v k="${key:--1}" 'BEGIN { g = 2 * b / 1024 + 150 * 1024; if (k >= 0) g = b / 1024 + 150 * 1024;
      printf "%.2f %.0f %d\n", d / 1000 / c, g / 1024, (d / 1000 <= 3 * c && r <= g && p < 16 && j < 16 && k < 100) }')
  ((ok)) || status=1
  printf '%-30s %8.3fs %8.3fs %6s %8.1fMB %7.0fMB %7.0fMB %6sms %6sms %7sms\n' "$kind $file $phrase" "$cli" \
    "$(awk -v d="$drawn" 'BEGIN { print d / 1000 }')" "$ratio" "$(awk -v b="$bytes" 'BEGIN { print b / 1048576 }')" \
    "$(awk -v r="$rss" 'BEGIN { print r / 1024 }')" "$goal" "${page:--}" "${jump:--}" "${key:--}"
done <<'CASES'
search hits1m.txt 港町
search hits3m.txt の
local hits1m.txt 港町
CASES
echo
printf '%-30s %12s %12s %9s %11s\n' case 'to window' 'cancel to' pages 'peak RSS'
: >"$results/print"
for ((i = 0; i < runs; i++)); do
  "$bench" print hits1m.txt 港町 >>"$results/print" 2> >(grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints >&2)
done
shown=$(field progress_ms <"$results/print" | sort -n | tail -1)
back=$(field cancel_ms <"$results/print" | sort -n | tail -1)
pages=$(field pages <"$results/print" | head -1)
rss=$(field peak_rss_kb <"$results/print" | sort -n | tail -1)
awk -v s="$shown" -v b="$back" 'BEGIN { exit !(s < 600 && b < 500) }' || status=1
printf '%-30s %10sms %10sms %9s %9.0fMB\n' "print hits1m.txt 港町" "$shown" "$back" "$pages" \
  "$(awk -v r="$rss" 'BEGIN { print r / 1024 }')"
((status == 0)) && echo "Goal met." || echo "Goal not met."
exit $status
