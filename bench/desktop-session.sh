# SPDX-License-Identifier: GPL-2.0-or-later
# Sourced by the window benchmarks: reads --bin DIR and --runs N (defaults: build/bin and
# $runs), checks the tools, starts Xvfb with openbox on a display of their own for the
# script's run and ends them, and whatever the script adds to `pids`, on its exit.
# Sets: program, runs, work (a scratch folder, removed at the end), DISPLAY.
# Gives: median (of the numbers on standard input, one a line).
script=${0##*/}
bin=build/bin
while [ $# -gt 0 ]; do
  case $1 in
    --bin) bin=$2; shift ;;
    --runs) runs=$2; shift ;;
    *) echo "usage: bench/$script [--bin DIR] [--runs N]" >&2; exit 2 ;;
  esac
  shift
done
program=$(cd "$bin" && pwd)/quillet-dictionary
[ -x "$program" ] || { echo "$script: $program not built" >&2; exit 1; }
for tool in Xvfb xdotool openbox; do
  command -v "$tool" >/dev/null || { echo "$script: $tool missing (scripts/install-deps test)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quillet-bench.XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
  3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n 1 "$work/display")
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
