#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# The window's memory with the default dictionary: starts the real quillet-dictionary
# under Xvfb with a lookup, waits until the index and the pronunciations are in, and reads
# VmRSS and VmHWM from /proc; then switches the direction (Ctrl+Tab) and reads them again.
# The figures include the suggestions (their index's pages and the Hunspell dictionary of
# each direction loaded): the window has no switch to turn them off.
#
# Usage: bench/window-memory.sh [--bin DIR] [--runs N]   (default: build/bin, 3 runs)
# Needs xvfb, xdotool and openbox. Not run by ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=3
source bench/desktop-session.sh
home=$work
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data

kb() { awk -v k="$1:" '$1 == k { print $2 }' "/proc/$2/status"; }
# Waits until the resident memory has not moved for a second (the loads are done).
settle() {
  local pid=$1 last=0 now
  for _ in $(seq 100); do
    sleep 0.5
    now=$(kb VmRSS "$pid")
    [ "$now" = "$last" ] && return 0
    last=$now
  done
}
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

: > "$home/one.rss"; : > "$home/one.hwm"; : > "$home/both.rss"; : > "$home/both.hwm"
for ((i = 0; i < runs; ++i)); do
  # Each run as a first start: the settings the last one saved on its end would start the
  # next in the direction it switched to.
  rm -rf "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
  "$program" --lookup Haus >/dev/null 2>&1 &
  pid=$!
  pids+=("$pid")
  # The main window: Qt's selection owner, an unmapped 3x3 window of the same process,
  # carries the program's name too and must not be the one activated.
  window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" --name "Quillet-Dictionary" 2>/dev/null | head -n 1 || true)
  settle "$pid"
  kb VmRSS "$pid" >> "$home/one.rss"; kb VmHWM "$pid" >> "$home/one.hwm"
  if [ -n "$window" ]; then
    # The key goes to the focused window (--window sends events Qt ignores): the window
    # must be the active one, which openbox may take a moment to make it. Tried again
    # when the other direction's index has not come in three seconds later.
    for _ in 1 2 3; do
      for _ in $(seq 20); do
        timeout 5 xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ] && break
        sleep 0.2
      done
      xdotool key ctrl+Tab
      for _ in $(seq 30); do
        grep -q '\.tx2$' "/proc/$pid/maps" && break 2
        sleep 0.1
      done
    done
  fi
  settle "$pid"
  grep -q '\.tx2$' "/proc/$pid/maps" || echo "window-memory.sh: the direction did not switch" >&2
  kb VmRSS "$pid" >> "$home/both.rss"; kb VmHWM "$pid" >> "$home/both.hwm"
  kill "$pid"; wait "$pid" 2>/dev/null || true
done

one_rss=$(median < "$home/one.rss"); one_hwm=$(median < "$home/one.hwm")
both_rss=$(median < "$home/both.rss"); both_hwm=$(median < "$home/both.hwm")
verdict() { awk -v a="$1" -v b="$2" 'BEGIN { print (a / 1024 <= b) ? "met" : "NOT met" }'; }
printf '== The window, default dictionary with its pronunciations, median of %d ==\n' "$runs"
printf '  one direction, after the first lookup:  VmRSS %6s MB  VmHWM %6s MB   target: at most 55 MB  %s\n' \
  "$(mb "$one_rss")" "$(mb "$one_hwm")" "$(verdict "$one_rss" 55)"
printf '  both directions (after Ctrl+Tab):       VmRSS %6s MB  VmHWM %6s MB   target: at most 65 MB  %s\n' \
  "$(mb "$both_rss")" "$(mb "$both_hwm")" "$(verdict "$both_rss" 65)"
