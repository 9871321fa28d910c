#!/usr/bin/env bash
# Times norvane-search beside `LC_ALL=C grep -n -F` and `cat` on the same
# generated corpus (20 Shift-JIS files, about 1 GB), for a rare phrase, a
# frequent phrase and a phrase that the wrap often breaks; prints the ratios,
# each listing's sha256 and norvane-search's peak RSS.
#
# The corpus is cached in build/bench-corpus and made again only when the
# generator or the size changes. Settings (environment):
#   NORVANE_BUILD          release build folder     (build/release)
#   NORVANE_SEARCH         the binary to time       ($NORVANE_BUILD/cli/norvane-search)
#   NORVANE_CORPUS         corpus folder            (build/bench-corpus)
#   NORVANE_CORPUS_FILES   number of files          (20)
#   NORVANE_CORPUS_BYTES   bytes per file           (50000000)
#   NORVANE_BENCH_RUNS     timed runs per command   (5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORVANE_BUILD:-$root/build/release}
search=$(realpath "${NORVANE_SEARCH:-$build/cli/norvane-search}")
generator=$build/bench/norvane_make_corpus
corpus=${NORVANE_CORPUS:-$root/build/bench-corpus}
files=${NORVANE_CORPUS_FILES:-20}
bytes=${NORVANE_CORPUS_BYTES:-50000000}
runs=${NORVANE_BENCH_RUNS:-5}

for tool in "$search" "$generator"; do
  [[ -x $tool ]] || { echo "missing $tool: run 'make bench-build' first" >&2; exit 1; }
done

"$root/bench/install-hyperfine.sh"

# The corpus, made once.
stamp="$files $bytes $(cat "$root/bench/make_corpus.cpp" "$root/bench/prose.h" | sha256sum | cut -d' ' -f1)"
mkdir -p "$corpus"
if [[ ! -f $corpus/stamp || $(cat "$corpus/stamp") != "$stamp" ]]; then
  need_kb=$((files * bytes / 1024 * 11 / 10))
  avail_kb=$(df -Pk "$corpus" | awk 'NR == 2 { print $4 }')
  if ((avail_kb < need_kb)); then
    echo "not enough disk for the corpus: need $((need_kb / 1024)) MB, have $((avail_kb / 1024)) MB" >&2
    exit 1
  fi
  echo "Making the corpus in $corpus ($files files of $bytes bytes)"
  rm -f "$corpus"/prose*.txt "$corpus"/phrase-*.txt "$corpus/stamp"
  "$generator" "$corpus" "$files" "$bytes"
  echo "$stamp" >"$corpus/stamp"
fi

cd "$corpus"
targets=$(ls prose*.txt | head -n "$files" | tr '\n' ' ')
total_mb=$(du -cm prose*.txt | tail -1 | cut -f1)
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

echo "Corpus: $files files, $total_mb MB; $runs runs per command; $(nproc) cores"
echo "Every command's output goes through a pipe (hyperfine --output=pipe): grep"
echo "stops at its first match when it writes to /dev/null. 'cat>null' is cat"
echo "writing to /dev/null, the bare cost of reading the files; 'norvane>null'"
echo "is norvane-search writing to /dev/null, its match on that sink."
for phrase in rare frequent wrapped; do
  echo
  echo "== $phrase phrase: $(iconv -f CP932 -t UTF-8 "phrase-$phrase.txt")"
  # Both tools read the phrase's Shift-JIS bytes from the same file; both
  # exit 1 when nothing is found, which is no failure here.
  hyperfine -N -i --output=pipe --warmup 1 --runs "$runs" --export-csv "$results/$phrase.csv" \
    -n norvane-search "$search -f phrase-$phrase.txt $targets" \
    -n grep "env LC_ALL=C grep -n -F -f phrase-$phrase.txt $targets" \
    -n cat "cat $targets" \
    -n 'cat>null' "sh -c 'cat $targets >/dev/null'" \
    -n 'norvane>null' "sh -c '$search -f phrase-$phrase.txt $targets >/dev/null'" | grep -E '^ +(Time|Range)|^Benchmark'
done

echo
echo "Mean times and ratios; the goal, each pair on the same sink: norvane/grep <= 1.0,"
echo "norvane/cat <= 2.0 through a pipe and to /dev/null"
printf '%-9s %10s %10s %10s %10s %13s %13s %12s %13s %14s\n' phrase norvane grep cat 'cat>null' 'norvane>null' norvane/grep norvane/cat 'both >null' 'peak RSS (MB)'
status=0
for phrase in rare frequent wrapped; do
  read -r n g c z nz < <(awk -F, 'NR > 1 { mean[$1] = $2 }
    END { print mean["norvane-search"], mean["grep"], mean["cat"], mean["cat>null"], mean["norvane>null"] }' \
    "$results/$phrase.csv")
  rss_kb=$( { /usr/bin/time -f %M "$search" -f "phrase-$phrase.txt" $targets >/dev/null; } 2>&1 | tail -1)
  read -r rg rc rz ok < <(awk -v n="$n" -v g="$g" -v c="$c" -v z="$z" -v nz="$nz" \
    'BEGIN { printf "%.2f %.2f %.2f %d\n", n / g, n / c, nz / z, (n <= g && n <= 2 * c && nz <= 2 * z) }')
  ((ok)) || status=1
  printf '%-9s %9.3fs %9.3fs %9.3fs %9.3fs %12.3fs %13s %13s %12s %14.1f\n' "$phrase" "$n" "$g" "$c" "$z" "$nz" "$rg" "$rc" "$rz" \
    "$(awk -v k="$rss_kb" 'BEGIN { print k / 1024 }')"
done

echo
echo "Listings (sha256, bytes, listed lines)"
for phrase in rare frequent wrapped; do
  "$search" -f "phrase-$phrase.txt" $targets >"$results/listing" || true
  printf '%-9s %s %10d %8d\n' "$phrase" "$(sha256sum <"$results/listing" | cut -d' ' -f1)" \
    "$(stat -c %s "$results/listing")" "$(LC_ALL=C grep -c '^[0-9]\{5\}: ' "$results/listing")"
done
((status == 0)) && echo "Goal met." || echo "Goal not met."
exit $status
