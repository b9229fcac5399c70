#!/usr/bin/env bash
# Wall time of lumetra-analyze over 20 files with --jobs 2 against --jobs 1,
# measured in one run, and their ratio (target: at most 0.6 on two cores).
#
#   bench/archive-jobs.sh [path/to/lumetra-analyze] [seconds per file]
#       (defaults: build/offline/lumetra-analyze, 30)
#
# Prints both times and the ratio; exits 1 when the program fails or the
# reports differ, 0 otherwise (the ratio is a figure, not a verdict: the
# machine may be shared).
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$here/build/offline/lumetra-analyze}")"
seconds="${2:-30}"
files=20

if [[ ! -x "$program" ]]; then
  echo "archive-jobs: no program at $program (build it first: ninja -C build lumetra-analyze)" >&2
  exit 1
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Different tones and levels, so no two files read alike.
for i in $(seq 1 "$files"); do
  sox -n -r 48000 -c 2 -b 16 "$work/f$i.wav" synth "$seconds" sine $((200 + 50 * i)) sine $((1000 + 30 * i)) vol 0.$((i % 9 + 1))
done
ls "$work"/f*.wav > "$work/list.txt"

run() {
  local jobs="$1" start end
  start=$(date +%s.%N)
  "$program" --jobs "$jobs" --files-from "$work/list.txt" > "$work/report$jobs.json"
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

one=$(run 1)
two=$(run 2)
# realtime_factor measures the run, not the file: the only field that may differ.
timeless() { grep -v '"realtime_factor":' "$1"; }
if ! cmp -s <(timeless "$work/report1.json") <(timeless "$work/report2.json"); then
  echo "archive-jobs: the --jobs 2 report differs from the --jobs 1 report" >&2
  exit 1
fi
ratio=$(awk -v a="$one" -v b="$two" 'BEGIN { print b / a }')
printf '%d files of %d s: --jobs 1 %.2f s, --jobs 2 %.2f s, ratio %.2f (target <= 0.60)\n' \
  "$files" "$seconds" "$one" "$two" "$ratio"
