#!/usr/bin/env bash
# lumetra-analyze's speed and memory against the file's length: 48 kHz
# 16-bit stereo files of digital silence and of a music-like signal (pink
# and brown noise under a slow tremolo), analysed one at a time with every
# instrument on, without and with --snapshot.
#
#   bench/offline-scaling.sh [path/to/lumetra-analyze] [minutes...]
#       defaults: build/offline/lumetra-analyze, 1 10 60 80
#
# For every file it prints the real-time factor the program reports (wall
# clock), the wall and CPU (user + system) time, the real-time factor by CPU
# time (telling on a busy machine) and the peak resident memory. Targets: at least 1000x real
# time without --snapshot and 800x with it, time linear in the length, and
# peak memory flat in the length (1 and 60 minutes within 2 MB, <= 30 MB).
# The files are large (80 minutes is 0.9 GB); they live in a temporary
# folder removed at the end.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$here/build/offline/lumetra-analyze}")"
shift || true
minutes=("${@:-1 10 60 80}")
# shellcheck disable=SC2206
minutes=(${minutes[*]})

if [[ ! -x "$program" ]]; then
  echo "offline-scaling: no program at $program (build it first: ninja -C build lumetra-analyze)" >&2
  exit 1
fi
for tool in sox python3 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "offline-scaling: $tool is needed" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

make_file() { # kind minutes path
  local seconds=$(($2 * 60))
  case "$1" in
    silence) sox -n -r 48000 -b 16 -c 2 "$3" trim 0 "$seconds" ;;
    music) sox -n -r 48000 -b 16 -c 2 "$3" synth "$seconds" pinknoise brownnoise tremolo 0.7 60 vol -6dB ;;
  esac
}

run() { # label path extra-args...
  local label="$1" file="$2"
  shift 2
  /usr/bin/time -f '%e %M %U %S' -o "$work/time" "$program" --json "$work/report.json" "$@" "$file" 2>/dev/null
  local rtf
  rtf="$(python3 -c 'import json,sys; print("%.0f" % json.load(open(sys.argv[1]))[0]["realtime_factor"])' "$work/report.json")"
  local wall rss_kb user sys cpu
  read -r wall rss_kb user sys < "$work/time"
  cpu="$(echo "$user + $sys" | bc -l)"
  printf '%-24s %8sx %8ss %8ss %8.0fx %8.1f MB\n' "$label" "$rtf" "$wall" "$cpu" \
    "$(echo "$seconds / ($cpu + 0.001)" | bc -l)" "$(echo "$rss_kb / 1024" | bc -l)"
}

printf '%-24s %9s %9s %9s %9s %11s\n' "file" "rt factor" "wall" "cpu" "cpu rt" "peak RSS"
for kind in silence music; do
  for m in "${minutes[@]}"; do
    file="$work/$kind-$m.wav"
    seconds=$((m * 60))
    make_file "$kind" "$m" "$file"
    run "$kind ${m} min" "$file"
    run "$kind ${m} min snapshot" "$file" --snapshot "$work/pics"
    rm -f "$file"
  done
done
