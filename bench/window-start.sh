#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# The window's start: the time from starting quillet-dictionary --lookup Haus under Xvfb
# (openbox as the window manager, fresh settings) to the first rows of the result grid
# painted, which the program logs under QT_LOGGING_RULES="quillet.timing=true". The
# first start warms the page cache and is not counted.
#
# Usage: bench/window-start.sh [--bin DIR] [--runs N]   (default: build/bin, 7 runs)
# Needs xvfb and openbox. Not run by ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=7
source bench/desktop-session.sh

: > "$work/times"
for ((i = 0; i <= runs; ++i)); do
  home=$work/home$i
  mkdir -p "$home"; : > "$home/log"
  start=$(date +%s%3N)
  HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home \
    QT_LOGGING_RULES="quillet.timing=true" "$program" --lookup Haus >/dev/null 2>"$home/log" &
  pid=$!
  painted=
  for _ in $(seq 200); do
    painted=$(sed -n 's/.*first rows painted at \([0-9]*\) ms.*/\1/p' "$home/log")
    [ -n "$painted" ] && break
    sleep 0.05
  done
  kill "$pid"; wait "$pid" 2>/dev/null || true
  [ -n "$painted" ] || { echo "window-start.sh: no rows painted within 10 s" >&2; exit 1; }
  [ "$i" -eq 0 ] || echo $((painted - start)) >> "$work/times"
done
median=$(median < "$work/times")
printf '== The window: start to the first lookup'"'"'s rows painted, warm, median of %d ==\n' "$runs"
printf '  %s ms (all: %s)   target: at most 150 ms  %s\n' "$median" "$(sort -n "$work/times" | tr '\n' ' ')" \
  "$(awk -v m="$median" 'BEGIN { print (m <= 150) ? "met" : "NOT met" }')"
