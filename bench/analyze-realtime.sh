#!/usr/bin/env bash
# lumetra-analyze's speed on one long file with every instrument and
# loudness (exact mode, true peak) on: a 48 kHz stereo file of pink noise
# over the whole band (target: at least 500x real time).
#
#   bench/analyze-realtime.sh [path/to/lumetra-analyze] [minutes]
#       (defaults: build/offline/lumetra-analyze, 10)
#
# Prints, for the default run and for --jobs 1, the wall-clock factor (file
# length over the program's whole run, start-up and reading included) and
# the report's realtime_factor (the measuring loop alone).
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$here/build/offline/lumetra-analyze}")"
minutes="${2:-10}"
if [[ ! -x "$program" ]]; then
  echo "analyze-realtime: no program at $program (build it first: ninja -C build lumetra-analyze)" >&2
  exit 1
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

seconds=$((minutes * 60))
sox -n -r 48000 -c 2 -b 16 "$work/long.wav" synth "$seconds" pinknoise vol 0.3
# As a user runs it (one file, a core to spare: loudness is measured beside
# the instruments), then held to one thread with --jobs 1.
for jobs in "" "--jobs 1"; do
  start=$(date +%s.%N)
  # shellcheck disable=SC2086 # the option is two words or none on purpose
  "$program" $jobs "$work/long.wav" > "$work/report.json"
  end=$(date +%s.%N)
  factor=$(grep -o '"realtime_factor": *[0-9.e+]*' "$work/report.json" | grep -o '[0-9.e+]*$')
  awk -v s="$seconds" -v a="$start" -v b="$end" -v f="$factor" -v j="${jobs:-default}" \
    'BEGIN { printf "%d s file, %s: whole run %.2f s = %.0fx real time; measuring loop %.0fx real time (target >= 500x)\n", s, j, b - a, s / (b - a), f }'
done
