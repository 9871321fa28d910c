#!/usr/bin/env bash
# Runs the libFuzzer targets of a fuzz build.
#
#   run.sh BUILD short           each target for a fixed number of runs with a
#                                fixed seed, one per core, on a throw-away copy
#                                of the seed corpus: the quick check of `make test`
#   run.sh BUILD long [SECONDS]  all targets at once for SECONDS of wall time
#                                (600 by default), sharing the cores, growing a
#                                corpus kept in BUILD/fuzz-corpus
#
# Exits non-zero when a target fails a property or crashes; the input that did
# it is kept in BUILD/fuzz-artifacts, and the target's log tail is printed.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
usage="usage: run.sh BUILD short|long [SECONDS]"
build=${1:?$usage}
mode=${2:?$usage}
targets=(line_reader hit_rule search block_end code_page)
# Runs per target in the short check, a few seconds each under the sanitizers;
# the file targets write and read real files, and block_end a large one, hence
# far fewer runs.
declare -A short_runs=([line_reader]=2500 [hit_rule]=100000 [search]=2500 [block_end]=40 [code_page]=40000)

work=$(mktemp -d "${TMPDIR:-/tmp}/norvane-fuzz-XXXXXX")
trap 'rm -rf "$work"' EXIT
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

case "$mode" in
short)
  corpora="$work/corpus"
  parallel=$(nproc)
  ;;
long)
  # Time-bound runs: all at once, so each gets its share of the cores.
  corpora="$build/fuzz-corpus"
  parallel=${#targets[@]}
  seconds=${3:-600}
  echo "fuzz: ${#targets[@]} targets at once for ${seconds}s"
  ;;
*) echo "$usage" >&2; exit 2 ;;
esac

for t in "${targets[@]}"; do
  # Seeds are copied, never fuzzed in place: libFuzzer writes to its corpus.
  mkdir -p "$corpora/$t"
  for seed in "$here/corpus/$t/"*; do
    [[ -e "$corpora/$t/${seed##*/}" ]] || cp "$seed" "$corpora/$t/"
  done
  if [[ $mode == short ]]; then
    flags=(-seed=1 -runs="${short_runs[$t]}" -max_total_time=20)
  else
    flags=(-max_total_time="$seconds" -use_value_profile=1 -timeout=30)
  fi
  while (($(jobs -rp | wc -l) >= parallel)); do wait -n || true; done
  # The target's temporary files go under the work folder, so a crash leaves none behind.
  {
    start=$SECONDS
    TMPDIR="$work" "$build/tests/fuzz/fuzz_$t" -print_final_stats=1 -artifact_prefix="$artifacts/$t-" \
      -dict="$here/sjis.dict" "${flags[@]}" "$corpora/$t" >"$work/$t.log" 2>&1 && status=0 || status=$?
    echo "$status $((SECONDS - start))" >"$work/$t.status"
  } &
done
wait

failed=0
for t in "${targets[@]}"; do
  read -r status elapsed <"$work/$t.status"
  if [[ $status == 0 ]]; then
    printf 'fuzz %-12s %10s executions in %ss, corpus %s inputs\n' "$t" \
      "$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$t.log")" "$elapsed" \
      "$(find "$corpora/$t" -type f | wc -l)"
  else
    echo "fuzz: $t FAILED (exit $status); log tail:" >&2
    tail -n 40 "$work/$t.log" >&2
    echo "fuzz: the failing input is kept in $artifacts/" >&2
    failed=1
  fi
done
exit $failed
