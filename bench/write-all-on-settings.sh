#!/usr/bin/env bash
# Writes a settings file that switches every instrument on, for the
# benchmark scripts that start the real program with a private
# XDG_CONFIG_HOME. Usage: write-all-on-settings.sh CONFIG_HOME [settings lines...]
# (the optional lines go into the [Settings] section, e.g. Device=0).
set -euo pipefail
config=$1
shift
mkdir -p "$config/TARVIX"
{
  if [ $# -gt 0 ]; then
    echo "[Settings]"
    printf '%s\n' "$@"
    echo
  fi
  for section in PPM COR FFT STM LUD; do
    printf '[%s]\nStatus=1\n\n' "$section"
  done
} > "$config/TARVIX/Tarvix Audio Meter.conf"
