#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Quillet beside the peers that keep an index, as whole processes on the same data and the
# same queries, in one run: sdcv (a StarDict dictionary made by stardict-tools' tabfile)
# and dictd (a database made by dictfmt), both built from the source the default
# dictionary is built from. Prints medians, each target beside its measured value, and
# the floor it is held against.
#
# Usage: bench/peers.sh [--bin DIR] [--source FILE] [--work DIR] [--runs N] [--quick]
#   DIR   the programs and de_en_dict (default: build/bin; scripts/prepare-dictionary)
#   FILE  the source text (default: /usr/share/trans/de-en)
#   work  where the peers' dictionaries and the imports go (default: $TMPDIR/quillet-peers)
# Needs sdcv, stardict-tools, dictd and dictfmt (scripts/install-deps test). Not run by ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/bin
source_file=/usr/share/trans/de-en
work=${TMPDIR:-/tmp}/quillet-peers
runs=21
queries=10000
while [ $# -gt 0 ]; do
  case $1 in
    --bin) bin=$2; shift ;;
    --source) source_file=$2; shift ;;
    --work) work=$2; shift ;;
    --runs) runs=$2; shift ;;
    --quick) runs=7; queries=2000 ;;
    *) echo "usage: bench/peers.sh [--bin DIR] [--source FILE] [--work DIR] [--runs N] [--quick]" >&2; exit 2 ;;
  esac
  shift
done
bin=$(cd "$bin" && pwd)
cli=$bin/quillet-cli
tabfile=/usr/lib/stardict-tools/tabfile
for tool in "$cli" "$tabfile" "$(command -v sdcv || true)" "$(command -v dictfmt || true)" \
            "$(command -v dictd || echo /usr/sbin/dictd)"; do
  [ -x "$tool" ] || { echo "peers.sh: $tool missing (scripts/install-deps test, cmake --build build)" >&2; exit 1; }
done
dictd=$(command -v dictd || echo /usr/sbin/dictd)
[ -f "$bin/de_en_dict.tx1" ] || { echo "peers.sh: no de_en_dict in $bin (scripts/prepare-dictionary)" >&2; exit 1; }
mkdir -p "$work"
work=$(cd "$work" && pwd)

# --- the peers' dictionaries, from the same source -----------------------------------------
# One tab-file line per entry line: the entry's first German term (before ; | { ( [) as the
# headword, the whole line as its text. StarDict escapes backslashes in a tab file.
if [ ! -f "$work/sd/de-en.idx" ] || [ "$source_file" -nt "$work/sd/de-en.idx" ]; then
  echo "Building the StarDict and dictd dictionaries in $work ..."
  awk -F' :: ' 'BEGIN { OFS = "\t" }
    !/^#/ && NF >= 2 {
      split($1, a, / *[;|{(\[] */); w = a[1]; gsub(/^ +| +$/, "", w)
      if (w == "") next
      line = $0; gsub(/\\/, "\\\\", line)
      print w, line
    }' "$source_file" > "$work/de-en.tab"
  rm -rf "$work/sd" && mkdir -p "$work/sd"
  (cd "$work" && "$tabfile" de-en.tab >/dev/null 2>&1)
  mv "$work"/de-en.idx "$work"/de-en.ifo "$work"/de-en.dict* "$work/sd/"
  awk -F'\t' '{ print $1; print "        " $2 }' "$work/de-en.tab" |
    (cd "$work" && dictfmt -f --utf8 --allchars -q -s "trans-de-en" -u "file://$source_file" de-en)
fi
# dictd ends a session after 2000 queries unless told otherwise.
cat > "$work/dictd.conf" <<EOF
global {
  limit_queries 1000000
}
database quillet {
  data "$work/de-en.dict"
  index "$work/de-en.index"
}
EOF
# sdcv keeps its offset cache beside the dictionary or in the cache folder: warm it once.
export XDG_CACHE_HOME=$work/cache HOME=$work
sdcv -n -e -x -2 "$work/sd" Haus >/dev/null 2>&1 || true

# The queries: headwords of the tab file in a fixed random order, without quotes and
# backslashes (which the dict protocol would need escaped).
cut -f1 "$work/de-en.tab" | grep -v '["\\]' | sort -u |
  shuf -n "$queries" --random-source=<(yes) > "$work/queries.txt"
awk '{ printf "DEFINE quillet \"%s\"\r\n", $0 } END { printf "QUIT\r\n" }' "$work/queries.txt" \
  > "$work/queries.dict"
printf 'DEFINE quillet Haus\r\nQUIT\r\n' > "$work/one.dict"

# --- timing -----------------------------------------------------------------------------------
# Bash's own clock (microseconds), so that no `date` process is started around each run.
now() { local t=${EPOCHREALTIME/[.,]/}; echo $((10#$t * 1000)); }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ms() { awk -v ns="$1" 'BEGIN { printf "%.2f", ns / 1e6 }'; }
sec() { awk -v ns="$1" 'BEGIN { printf "%.3f", ns / 1e9 }'; }
# time_of NAME COMMAND...: appends one run's nanoseconds to $work/t.NAME
time_of() {
  local name=$1; shift
  local t0 t1
  t0=$(now); "$@" >/dev/null 2>&1 || true; t1=$(now)
  echo $((t1 - t0)) >> "$work/t.$name"
}
verdict() { awk -v a="$1" -v b="$2" 'BEGIN { print (a + 0 <= b + 0) ? "met" : "NOT met" }'; }
rm -f "$work"/t.*

# Quillet's answers like the peers' (headword, word-list window, rows; --no-suggestions),
# and its full answer with the suggestions (qs_*).
q_one()    { "$cli" --folder "$bin" lookup --no-suggestions --json Haus; }
qs_one()   { "$cli" --folder "$bin" lookup --json Haus; }
s_one()    { sdcv -n -e -x -2 "$work/sd" Haus; }
d_one()    { "$dictd" -i -c "$work/dictd.conf" -L /dev/null < "$work/one.dict"; }
r_one()    { cat "$bin/de_en_dict.tx1" "$bin/de_en_dict.tdb"; }
q_many()   { "$cli" --folder "$bin" lookup --no-suggestions --stdin --json < "$work/queries.txt"; }
qs_many()  { "$cli" --folder "$bin" lookup --stdin --json < "$work/queries.txt"; }
s_many()   { sdcv -e -x -2 "$work/sd" < "$work/queries.txt"; } # -n would ignore stdin
d_many()   { "$dictd" -i -c "$work/dictd.conf" -L /dev/null < "$work/queries.dict"; }

echo "peers.sh: $(nproc) cores, $runs runs each, interleaved; source $source_file"
echo "Quillet answers with the headword, the word-list window and every row (--json), as"
echo "the peers do without suggestions; its answer with suggestions is timed beside it."
for ((i = 0; i < runs; ++i)); do
  time_of q_one q_one; time_of qs_one qs_one; time_of s_one s_one; time_of d_one d_one
done
many_runs=$(( runs < 7 ? runs : 5 ))
for ((i = 0; i < many_runs; ++i)); do
  time_of q_many q_many; time_of qs_many qs_many; time_of s_many s_many; time_of d_many d_many
done
for n in q_one qs_one s_one d_one q_many qs_many s_many d_many; do
  declare "m_$n=$(median < "$work/t.$n")"
done
# The bytes a one-word query needs: start-up aside, the index and the entries it reads.
# Held against: the same process reading its index file whole (cat of the .tx1).
# And against the floor of any process that links Qt Core (bench/floor, built beside
# quillet-bench): what quillet-cli takes before it reads a byte of the dictionary.
floor=$bin/../bench/quillet-floor
[ -x "$floor" ] || floor=/bin/true
for ((i = 0; i < runs; ++i)); do
  time_of raw cat "$bin/de_en_dict.tx1"; time_of true_ /bin/true; time_of floor "$floor"
done
m_raw=$(median < "$work/t.raw"); m_true=$(median < "$work/t.true_"); m_floor=$(median < "$work/t.floor")

printf '\n== One word ("Haus"), a whole process, median of %d ==\n' "$runs"
printf '  %-44s %9s ms\n' "quillet-cli lookup --no-suggestions --json Haus" "$(ms "$m_q_one")" \
  "the same with suggestions (.sug, Hunspell)" "$(ms "$m_qs_one")" \
  "sdcv -n -e Haus" "$(ms "$m_s_one")" "dictd -i, DEFINE Haus" "$(ms "$m_d_one")" \
  "cat de_en_dict.tx1 (reading the index whole)" "$(ms "$m_raw")" \
  "/bin/true (starting any process)" "$(ms "$m_true")" \
  "bench/quillet-floor (Qt Core's start alone)" "$(ms "$m_floor")"
printf '  target: at most 5 ms            measured %s ms   %s\n' "$(ms "$m_q_one")" \
  "$(verdict "$m_q_one" 5000000)"
printf '  target: faster than sdcv        %s vs %s ms   %s\n' "$(ms "$m_q_one")" \
  "$(ms "$m_s_one")" "$(verdict "$m_q_one" "$m_s_one")"
printf '  target: faster than dictd       %s vs %s ms   %s\n' "$(ms "$m_q_one")" \
  "$(ms "$m_d_one")" "$(verdict "$m_q_one" "$m_d_one")"

count=$(wc -l < "$work/queries.txt")
printf '\n== %d queries in one process, median of %d ==\n' "$count" "$many_runs"
printf '  %-44s %9s s\n' "quillet-cli lookup --no-suggestions --stdin --json" "$(sec "$m_q_many")" \
  "the same with suggestions" "$(sec "$m_qs_many")" \
  "sdcv -e (exact mode, words on stdin)" "$(sec "$m_s_many")" \
  "dictd -i (DEFINE lines on stdin)" "$(sec "$m_d_many")"
scaled=$(( 400000000 * count / 10000 ))
printf '  target: at most 0.4 s for 10,000 (%s s for %d)   measured %s s   %s\n' \
  "$(sec "$scaled")" "$count" "$(sec "$m_q_many")" "$(verdict "$m_q_many" "$scaled")"
printf '  target: faster than sdcv        %s vs %s s   %s\n' "$(sec "$m_q_many")" \
  "$(sec "$m_s_many")" "$(verdict "$m_q_many" "$m_s_many")"
printf '  target: faster than dictd -i    %s vs %s s   %s\n' "$(sec "$m_q_many")" \
  "$(sec "$m_d_many")" "$(verdict "$m_q_many" "$m_d_many")"
