#!/usr/bin/env bash
# lumetra-analyze's speed on one long file: a 48 kHz stereo file of pink
# noise over the whole band.
#
#   bench/analyze-realtime.sh [path/to/lumetra-analyze] [minutes]
#       (defaults: build/offline/lumetra-analyze, 10)
#
# Prints, with the load average beside every figure:
#  - the program as a user runs it, every instrument and loudness (exact
#    mode, true peak) on: the default run (loudness measured on a second
#    thread when a core is spare) and --jobs 1 (target: at least 500x);
#  - the same with --snapshot (target: at least 800x without loudness);
#  - the four instruments alone (PPM, correlation, analyzer, stereo; target:
#    at least 1000x, and 800x drawing the snapshot pictures), from the
#    offline benchmark's FourInstruments and FourInstrumentsSnapshot cases
#    (build/bench/lumetra-bench), which leaves loudness out and times one
#    thread; it analyses 60 s of a music-like signal.
# Each run shows the wall-clock factor (file length over the whole run,
# start-up and reading included), the factor by CPU time (user + system;
# the telling one on a busy machine) and the report's realtime_factor (the
# measuring loop alone).
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$here/build/offline/lumetra-analyze}")"
minutes="${2:-10}"
bench="$(dirname "$program")/../bench/lumetra-bench"
if [[ ! -x "$program" ]]; then
  echo "analyze-realtime: no program at $program (build it first: ninja -C build lumetra-analyze)" >&2
  exit 1
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

export QT_QPA_PLATFORM=offscreen # --snapshot draws without a screen
load() { cut -d ' ' -f 1 /proc/loadavg; }

seconds=$((minutes * 60))
sox -n -r 48000 -c 2 -b 16 "$work/long.wav" synth "$seconds" pinknoise vol 0.3
for args in "" "--jobs 1" "--snapshot $work/shots" "--jobs 1 --snapshot $work/shots"; do
  rm -rf "$work/shots"
  # shellcheck disable=SC2086 # the options are words or nothing on purpose
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$program" $args "$work/long.wav" > "$work/report.json"
  read -r wall user sys < "$work/time"
  factor=$(grep -o '"realtime_factor": *[0-9.e+]*' "$work/report.json" | grep -o '[0-9.e+]*$')
  awk -v s="$seconds" -v w="$wall" -v c="$(echo "$user + $sys" | bc -l)" -v f="$factor" -v a="${args:-default}" \
    -v l="$(load)" 'BEGIN { printf "%d s file, %s: whole run %.2f s = %.0fx; CPU %.2f s = %.0fx; measuring loop %.0fx (load %s)\n", s, a, w, s / w, c, s / c, f, l }'
done | sed "s|$work/shots|DIR|"

if [[ -x "$bench" ]]; then
  l="$(load)"
  "$bench" --benchmark_filter='AnalyzeFile/FourInstruments' 2>/dev/null \
    | awk -v l="$l" '/FourInstruments/ { for (i = 1; i <= NF; ++i) if ($i ~ /^rt_factor=/) { sub(/rt_factor=/, "", $i); sub(/\/s$/, "", $i); r = ($i ~ /k$/) ? 1000 * substr($i, 1, length($i) - 1) : $i }
        what = ($1 ~ /Snapshot/) ? "four instruments and the snapshot pictures" : "four instruments"
        printf "%s, one thread (benchmark): %s %s wall, %s %s CPU = %.0fx real time by CPU (load %s)\n", what, $2, $3, $4, $5, r, l }'
else
  echo "four instruments: no benchmark at $bench (build it: ninja -C build lumetra-bench)"
fi
