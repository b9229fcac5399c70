#!/usr/bin/env bash
# Peak resident memory of the live program with every instrument on, fed by
# the built-in demo input for five seconds, on the offscreen platform.
#
#   bench/measure-rss.sh [path/to/lumetra]     (default: build/shell/lumetra)
#
# Budget: 80 MB. Exits 1 when the program fails or goes over the budget.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$here/build/shell/lumetra}")"
budget_kb=$((80 * 1024))
run_ms=5000

if [[ ! -x "$program" ]]; then
  echo "measure-rss: no program at $program (build it first: ninja -C build lumetra)" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A settings file that switches every instrument on; the program reads
# it from its private XDG_CONFIG_HOME. The workspace file lands in $work.
"$here/bench/write-all-on-settings.sh" "$work/config"

cd "$work"
set +e
XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen \
  /usr/bin/time -f "%M" -o "$work/peak-kb" \
  "$program" --demo --quit-after "$run_ms" > "$work/out.txt" 2>&1
status=$?
set -e

peak_kb="$(tail -n 1 "$work/peak-kb")"
echo "program:        $program --demo --quit-after $run_ms (PPM, COR, FFT and STM on)"
echo "exit status:    $status"
echo "peak RSS:       $((peak_kb / 1024)) MB ($peak_kb KB), budget $((budget_kb / 1024)) MB"
if drops="$(grep -i 'dropped' "$work/out.txt")"; then
  echo "packet drops:   $drops"
else
  echo "packet drops:   not reported by the program"
fi

if [[ $status -ne 0 ]]; then
  echo "measure-rss: the program failed; its output:" >&2
  cat "$work/out.txt" >&2
  exit 1
fi
[[ $peak_kb -le $budget_kb ]]
