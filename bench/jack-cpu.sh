#!/usr/bin/env bash
# CPU taken by the live program reading a JACK client's tone with every
# instrument on: a JACK server on its dummy backend at 48 kHz, the test tone
# client playing into the program's ports, the program on the offscreen
# platform for 30 s. Reports the program's user+system CPU from
# /proc/PID/stat as a share of one core (a figure, not a pass/fail test).
#
#   bench/jack-cpu.sh [build dir]        (default: build)
#   SECONDS_TO_RUN=30 QPA=offscreen bench/jack-cpu.sh
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath "${1:-$here/build}")"
program="$build/shell/lumetra"
tone="$build/tests/e2e/lumetra_jack_tone"
run_s="${SECONDS_TO_RUN:-30}"
for f in "$program" "$tone"; do
  [[ -x "$f" ]] || { echo "jack-cpu: $f missing (ninja -C build lumetra lumetra_jack_tone)" >&2; exit 1; }
done
command -v jackd > /dev/null || { echo "jack-cpu: jackd is not installed" >&2; exit 1; }

work="$(mktemp -d)"
server="lumetra_bench_$$"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  wait 2> /dev/null || true
  rm -rf "$work"
  rm -f /dev/shm/jack*"$server"* 2> /dev/null || true
}
trap cleanup EXIT
export JACK_DEFAULT_SERVER="$server" JACK_NO_START_SERVER=1

jackd --no-realtime -n "$server" -d dummy -r 48000 -p 512 > "$work/jackd.log" 2>&1 &
pids+=($!)
sleep 2

# Every instrument on, reading the JACK device by its name at the server's rate.
"$here/bench/write-all-on-settings.sh" "$work/config" Device=0 "DeviceName=JACK: system" SampleRate=48000

cd "$work"
XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM="${QPA:-offscreen}" "$program" > "$work/program.log" 2>&1 &
program_pid=$!
pids+=($program_pid)
"$tone" "$server" Lumetra $((run_s + 10)) > "$work/tone.log" 2>&1 &
pids+=($!)
sleep 3

ticks="$(getconf CLK_TCK)"
cpu_of() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
start_cpu="$(cpu_of "$program_pid")"
start_ns="$(date +%s%N)"
sleep "$run_s"
end_cpu="$(cpu_of "$program_pid")"
end_ns="$(date +%s%N)"

kill -TERM "$program_pid"
wait "$program_pid" && status=0 || status=$?
awk -v c=$((end_cpu - start_cpu)) -v t="$ticks" -v ns=$((end_ns - start_ns)) -v s="$status" 'BEGIN {
  secs = ns / 1e9
  printf "program CPU:  %.2f %% of one core over %.1f s (%d ticks at %d/s)\n", 100 * c / t / secs, secs, c, t
  printf "exit status:  %d\n", s
}'
grep -i "connected" "$work/tone.log" > /dev/null || echo "warning: the tone client never connected; see its log" >&2
