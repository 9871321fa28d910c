#!/usr/bin/env bash
# The same generated prose (the 200 MB corpus of compare.sh, 20 files) in
# code page 932, UTF-8 and UTF-16LE, searched by norvane-search with the
# encoding found in each file, for a rare, a frequent and a wrapped phrase
# (each from a code page 932 phrase file, converted for the others). Prints
# the times, the cost of finding the encoding (the code page 932 files found
# against --encoding=cp932), the ratio of UTF-16 to UTF-8, and whether the
# three listings are the same bytes.
#
# Goals: finding the encoding costs at most 3%; UTF-16 is searched at no
# less than half the speed of UTF-8 (a ratio of at most 2).
#
# Settings (environment): NORVANE_BUILD (build/release), NORVANE_SEARCH
# (the binary), NORVANE_CORPUS_SIZE (bytes per file, 10000000),
# NORVANE_BENCH_RUNS (timed runs per command, 10).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORVANE_BUILD:-$root/build/release}
search=$(realpath "${NORVANE_SEARCH:-$build/cli/norvane-search}")
size=${NORVANE_CORPUS_SIZE:-10000000}
runs=${NORVANE_BENCH_RUNS:-10}
[[ -x $search ]] || { echo "missing $search: run 'make bench-build' first" >&2; exit 1; }
"$root/bench/install-tool.sh" hyperfine

# The code page 932 corpus, made by compare.sh's generator when missing.
corpus=$root/build/bench-corpus-$size
if [[ ! -f $corpus/prose01.txt ]]; then
  NORVANE_CORPUS_SIZES=$size NORVANE_BENCH_RUNS=1 "$root/bench/compare.sh" >/dev/null || true
fi
[[ -f $corpus/prose01.txt ]] || { echo "no corpus in $corpus" >&2; exit 1; }

# The same files in UTF-8 and UTF-16LE (with a byte order mark), made once.
encoded=$root/build/bench-encodings-$size
for form in utf-8 utf-16le; do
  mkdir -p "$encoded/$form"
  for file in "$corpus"/prose*.txt; do
    out=$encoded/$form/$(basename "$file")
    [[ -f $out && $out -nt $file ]] && continue
    if [[ $form == utf-16le ]]; then
      { printf '\xFF\xFE'; iconv -f CP932 -t UTF-16LE "$file"; } >"$out"
    else
      iconv -f CP932 -t UTF-8 "$file" >"$out"
    fi
  done
done

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
cd "$corpus"
targets=$(ls prose*.txt | tr '\n' ' ')
in_form() { for t in $targets; do printf '%s ' "$encoded/$1/$t"; done; }
printf '%-9s %12s %12s %12s %12s %14s %14s %s\n' phrase 'cp932 named' 'cp932 found' utf-8 utf-16 'finding cost' 'utf-16/utf-8' listings
status=0
for phrase in rare frequent wrapped; do
  p=$corpus/phrase-$phrase.txt
  hyperfine -N --output=pipe --warmup 1 --runs "$runs" --export-csv "$results/$phrase.csv" \
    -n named "$search --encoding=cp932 -f $p $targets" \
    -n found "$search -f $p $targets" \
    -n utf-8 "$search -f $p $(in_form utf-8)" \
    -n utf-16 "$search -f $p $(in_form utf-16le)" >/dev/null
  read -r named found u8 u16 < <(awk -F, 'NR > 1 { t[$1] = $2 } END { print t["named"], t["found"], t["utf-8"], t["utf-16"] }' "$results/$phrase.csv")
  same=yes
  for form in utf-8 utf-16le; do
    cmp -s <("$search" -f "$p" $targets) <(cd "$encoded/$form" && "$search" -f "$p" $targets) || same=no
  done
  read -r cost ratio ok < <(awk -v n="$named" -v f="$found" -v a="$u8" -v b="$u16" \
    'BEGIN { c = f / n; r = b / a; printf "%.3f %.2f %d\n", c, r, (c <= 1.03 && r <= 2.0) }')
  ((ok)) && [[ $same == yes ]] || status=1
  printf '%-9s %11.3fs %11.3fs %11.3fs %11.3fs %14s %14s %s\n' "$phrase" "$named" "$found" "$u8" "$u16" "$cost" "$ratio" "$same"
done
((status == 0)) && echo "Goals met." || echo "Goals not met."
exit $status
