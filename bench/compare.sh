#!/usr/bin/env bash
# Times norvane-search beside `LC_ALL=C grep -n -F`, `rg -n -a --no-heading`
# and `cat` on the same corpora of 20 Shift-JIS files with CR LF:
#   prose      generated prose of many words, 200 MB and 1 GB in all
#   few-words  generated prose of seven nouns, 200 MB: the first character of
#              its phrase-first is in half the lines
#   manpages   real hard-wrapped Japanese prose: the Japanese manual pages of
#              section 1 (Debian's manpages-ja) as man lays them out at 72
#              columns, repeated to 200 MB
# for a rare phrase, a frequent one, one that the wrap often breaks and a
# rare one whose first character is everywhere. Every command's output is
# read through a pipe; the commands take turns, and each one's time is its
# median run. Prints the ratio of norvane-search to the faster of grep and
# rg, to cat into a pipe and to cat alone (the files read into /dev/null),
# the processor time (user + system) of norvane-search and rg, each
# listing's sha256 and norvane-search's peak RSS.
#
# Goal: every ratio at most 1.0.
#
# Each corpus is cached in build/bench-corpus-<size> and made again only when
# the generator changes. Settings (environment):
#   NORVANE_BUILD          release build folder        (build/release)
#   NORVANE_SEARCH         the binary to time          ($NORVANE_BUILD/cli/norvane-search)
#   NORVANE_CORPORA        kind:bytes per file, per corpus
#                          ("prose:10000000 prose:50000000 few-words:10000000 manpages:10000000")
#   NORVANE_CORPUS_FILES   number of files             (20)
#   NORVANE_BENCH_RUNS     timed runs per command      (5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORVANE_BUILD:-$root/build/release}
search=$(realpath "${NORVANE_SEARCH:-$build/cli/norvane-search}")
generator=$build/bench/norvane_make_corpus
corpora=${NORVANE_CORPORA:-prose:10000000 prose:50000000 few-words:10000000 manpages:10000000}
phrases="rare frequent wrapped first"
files=${NORVANE_CORPUS_FILES:-20}
runs=${NORVANE_BENCH_RUNS:-5}

for tool in "$search" "$generator"; do
  [[ -x $tool ]] || { echo "missing $tool: run 'make bench-build' first" >&2; exit 1; }
done
"$root/bench/install-tool.sh" hyperfine
"$root/bench/install-tool.sh" ripgrep rg
"$root/bench/install-tool.sh" man-db man

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

# The manual pages' corpus in $1: $files files of $2 bytes, each the pages'
# text repeated, and its phrases.
make_manpages_corpus() {
  local dir=$1 bytes=$2 pages=/usr/share/man/ja/man1
  compgen -G "$pages/*.gz" >/dev/null || { echo "no Japanese manual pages in $pages: install manpages-ja" >&2; exit 1; }
  local text=$dir/pages.txt
  for page in "$pages"/*.gz; do LC_ALL=C.UTF-8 MANWIDTH=72 man -l "$page" 2>/dev/null || true; done |
    iconv -c -f UTF-8 -t CP932 | sed 's/$/\r/' >"$text"
  for ((k = 1; k <= files; ++k)); do
    local name=$dir/prose$(printf %02d "$k").txt
    # Whole copies, as many as fit (one at least).
    cat "$text" >"$name"
    while (($(stat -c %s "$name") + $(stat -c %s "$text") <= bytes)); do cat "$text" >>"$name"; done
  done
  rm "$text"
  local phrase
  for phrase in rare:見当 frequent:ファイル wrapped:ファイルシステム first:の環境変数; do
    printf %s "${phrase#*:}" | iconv -f UTF-8 -t CP932 >"$dir/phrase-${phrase%%:*}.txt"
  done
}

# The corpus of kind:bytes ($files files of that many bytes), made once;
# prints its folder.
corpus_of() {
  local kind=${1%%:*} bytes=${1#*:}
  local corpus=$root/build/bench-corpus-$bytes
  [[ $kind == prose ]] || corpus=$root/build/bench-corpus-$kind-$bytes
  local stamp="$files $bytes $kind $(cat "$root/bench/make_corpus.cpp" "$root/bench/prose.h" | sha256sum | cut -d' ' -f1)"
  [[ $kind == manpages ]] && stamp="$files $bytes $kind $(ls /usr/share/man/ja/man1 | sha256sum | cut -d' ' -f1)"
  mkdir -p "$corpus"
  if [[ ! -f $corpus/stamp || $(cat "$corpus/stamp") != "$stamp" ]]; then
    local need_kb=$((files * bytes / 1024 * 11 / 10))
    local avail_kb
    avail_kb=$(df -Pk "$corpus" | awk 'NR == 2 { print $4 }')
    if ((avail_kb < need_kb)); then
      echo "not enough disk for the corpus: need $((need_kb / 1024)) MB, have $((avail_kb / 1024)) MB" >&2
      exit 1
    fi
    echo "Making the $kind corpus in $corpus ($files files of $bytes bytes)" >&2
    rm -f "$corpus"/prose*.txt "$corpus"/phrase-*.txt "$corpus/stamp"
    case $kind in
      prose) "$generator" "$corpus" "$files" "$bytes" ;;
      few-words) "$generator" "$corpus" "$files" "$bytes" few-words ;;
      manpages) make_manpages_corpus "$corpus" "$bytes" ;;
      *) echo "unknown corpus kind $kind" >&2; exit 1 ;;
    esac
    echo "$stamp" >"$corpus/stamp"
  fi
  echo "$corpus"
}

# The median time of the runs of command $2 in $1, hyperfine's CSV rows.
median_of() {
  awk -F, -v name="$2" '$1 == name { print $2 }' "$1" | sort -g |
    awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# The phrase of a file as a byte pattern for rg: (?-u)\xHH...
rg_pattern() { printf '(?-u)'; od -An -v -tx1 "$1" | tr -s ' \n' ' ' | sed 's/ *$//; s/^ //; s/ /\\x/g; s/^/\\x/'; }

echo "$files files per corpus; $runs runs per command, the commands in turns, each time the median"
echo "run; $(nproc) cores. Every command's output goes through a pipe (hyperfine --output=pipe): grep"
echo "stops at its first match when it writes to /dev/null. 'cat' is the bare cost of reading the"
echo "files into a pipe; 'read' that of reading them alone (cat to /dev/null), once per corpus."
printf '\n%-15s %-9s %10s %10s %10s %10s %10s %12s %12s %12s %16s %16s %14s\n' corpus phrase norvane grep rg cat read \
  'norvane/peer' 'norvane/cat' 'norvane/read' 'norvane CPU u+s' 'rg CPU u+s' 'peak RSS (MB)'
status=0
for entry in $corpora; do
  corpus=$(corpus_of "$entry")
  cd "$corpus"
  targets=$(ls prose*.txt | head -n "$files" | tr '\n' ' ')
  total_mb=$(du -cm prose*.txt | tail -1 | cut -f1)
  hyperfine -N --output=null --warmup 1 --runs "$runs" --export-csv "$results/read.csv" -n read "cat $targets" >/dev/null
  read_s=$(awk -F, 'NR == 2 { print $4 }' "$results/read.csv")
  for phrase in $phrases; do
    pattern=$(rg_pattern "phrase-$phrase.txt")
    # rg must find what grep finds: a pattern that reached it mangled would
    # find nothing, and be timed as a search of files without a match.
    rg_lines=$(rg -n -a --no-heading "$pattern" $targets | wc -l)
    grep_lines=$(LC_ALL=C grep -n -F -f "phrase-$phrase.txt" $targets | wc -l)
    if [[ $rg_lines != "$grep_lines" ]]; then
      echo "rg lists $rg_lines lines and grep $grep_lines for phrase-$phrase.txt: the rg pattern is wrong" >&2
      exit 1
    fi
    # hyperfine splits each command as a shell would: the quotes keep the
    # pattern's backslashes. Every phrase is in the corpus, so a tool that
    # exits 1 (found nothing) fails the run.
    # The commands take turns, a run each a round: this machine's speed
    # drifts by a tenth from one minute to the next, and in turns the drift
    # falls on all of them alike. Each command's time is its median run.
    : >"$results/$phrase.runs"
    for ((round = 0; round < runs; ++round)); do
      hyperfine -N --output=pipe --warmup $((round == 0 ? 1 : 0)) --runs 1 --export-csv "$results/round.csv" \
        -n norvane-search "$search -f phrase-$phrase.txt $targets" \
        -n grep "env LC_ALL=C grep -n -F -f phrase-$phrase.txt $targets" \
        -n rg "rg -n -a --no-heading '$pattern' $targets" \
        -n cat "cat $targets" >/dev/null
      tail -n +2 "$results/round.csv" >>"$results/$phrase.runs"
    done
    read -r n g r c < <(for name in norvane-search grep rg cat; do median_of "$results/$phrase.runs" "$name"; done | paste -sd ' ')
    read -r nu ns ru rs < <(awk -F, '{ user[$1] += $5; sys[$1] += $6; k[$1]++ }
      END { m = "norvane-search"; print user[m] / k[m], sys[m] / k[m], user["rg"] / k["rg"], sys["rg"] / k["rg"] }' \
      "$results/$phrase.runs")
    rss_kb=$( { /usr/bin/time -f %M "$search" -f "phrase-$phrase.txt" $targets >/dev/null; } 2>&1 | tail -1)
    read -r rp rc rr ok < <(awk -v n="$n" -v g="$g" -v r="$r" -v c="$c" -v f="$read_s" \
      'BEGIN { p = g < r ? g : r; printf "%.2f %.2f %.2f %d\n", n / p, n / c, n / f, (n <= p) }')
    ((ok)) || status=1
    printf '%-15s %-9s %9.3fs %9.3fs %9.3fs %9.3fs %9.3fs %12s %12s %12s %16s %16s %14.1f\n' "${entry%%:*} ${total_mb}M" "$phrase" "$n" "$g" "$r" "$c" \
      "$read_s" "$rp" "$rc" "$rr" "$(awk -v u="$nu" -v s="$ns" 'BEGIN { printf "%.3f+%.3fs", u, s }')" \
      "$(awk -v u="$ru" -v s="$rs" 'BEGIN { printf "%.3f+%.3fs", u, s }')" "$(awk -v k="$rss_kb" 'BEGIN { print k / 1024 }')"
  done
  cd - >/dev/null
done

echo
echo "Listings (sha256, bytes, listed lines)"
for entry in $corpora; do
  corpus=$(corpus_of "$entry")
  for phrase in $phrases; do
    (cd "$corpus" && "$search" -f "phrase-$phrase.txt" $(ls prose*.txt | head -n "$files") >"$results/listing") || true
    printf '%-28s %-9s %s %10d %8d\n' "$(basename "$corpus")" "$phrase" "$(sha256sum <"$results/listing" | cut -d' ' -f1)" \
      "$(stat -c %s "$results/listing")" "$(LC_ALL=C grep -c '^[0-9]\{5\}: ' "$results/listing")"
  done
done
((status == 0)) && echo "Goal met." || echo "Goal not met."
exit $status
