#!/bin/sh
# Whole-program benchmark: wall and CPU time, peak memory and report size of
# three runs of the vespera program at 40 N 75 W, magnitudes to 12, walked
# passes, format A, each with one searching thread (--threads 1) and with the
# default (the machine's cores):
#   gpredict-week          the 979 sets of debian-gpredict-2018-01.tle with the
#                          sample magnitude catalogue, nights of 2018 January 14-20
#   catalog-month-memory   catalog-2017-10-16.tle over the 31 nights of October
#                          2017, no magnitude file, memory mode (the store fills
#                          at 10000 sets)
#   catalog-month-stream   the same in streaming mode (all 13,699 usable sets)
#
#   bench/run_month.sh [PROGRAM [DATA_DIR]]
#
# With MODEL=sgp4 in the environment every run is made with --model sgp4
# (default: the compact model).
#
# PROGRAM defaults to build-bench/vespera, configured and built in Release
# when missing; DATA_DIR to the shared data directory beside the repository.
# The runs take place in a temporary directory under short names (file names
# in a control file are 40-character fields); the reports are removed after
# they have been counted unless KEEP_REPORTS=1.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
program=${1:-}
data=${2:-}
if [ -z "$data" ]; then
  for candidate in "$root/../shared/data" /work/shared/data; do
    if [ -d "$candidate" ]; then data=$candidate; break; fi
  done
fi
if [ -z "$data" ] || [ ! -f "$data/catalog-2017-10-16.tle" ]; then
  echo "run_month.sh: no data directory with catalog-2017-10-16.tle (give it as the second argument)" >&2
  exit 2
fi
if [ -z "$program" ]; then
  program="$root/build-bench/vespera"
  if [ ! -x "$program" ]; then
    cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DVESPERA_BUILD_TESTS=OFF >/dev/null
    cmake --build "$root/build-bench" --target vespera -j2 >/dev/null
  fi
fi
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
if [ ! -x /usr/bin/time ]; then
  echo "run_month.sh: needs GNU time (/usr/bin/time, Debian package time)" >&2
  exit 2
fi

work=$(mktemp -d /tmp/vsp-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
ln -s "$data/catalog-2017-10-16.tle" "$work/catalog.tle"
ln -s "$data/debian-gpredict-2018-01.tle" "$work/gpredict.tle"
ln -s "$data/sample.mag" "$work/sample.mag"
cp "$here"/gpredict-week.ctl "$here"/catalog-month-memory.ctl "$here"/catalog-month-stream.ctl "$work/"

printf '%-22s %8s %7s %7s %7s %8s %10s %10s %10s\n' run threads "wall s" "user s" "sys s" "peak MB" \
  "lines" "predict." "MB report"
for run in gpredict-week catalog-month-memory catalog-month-stream; do
  report=$(sed -n '20p' "$work/$run.ctl")
  for threads in 1 default; do
    option="--model ${MODEL:-compact}"
    if [ "$threads" = 1 ]; then option="$option --threads 1"; fi
    # shellcheck disable=SC2086
    (cd "$work" && /usr/bin/time -v "$program" $option "$run.ctl" >"$run.out" 2>"$run.time")
    wall=$(sed -n 's/^[[:space:]]*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/$run.time" |
      awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }')
    user=$(sed -n 's/^[[:space:]]*User time (seconds): //p' "$work/$run.time")
    sys=$(sed -n 's/^[[:space:]]*System time (seconds): //p' "$work/$run.time")
    peak_kb=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$work/$run.time")
    lines=$(wc -l <"$work/$report")
    bytes=$(wc -c <"$work/$report")
    # Prediction lines: those that begin with the time columns (i2,2i3); an
    # identification line has a digit (catalogue number of 100 up) or a blank
    # (below 100) where these have the hour's digit and the blank after it.
    predictions=$(grep -c '^[ 12][0-9] [ 1-5][0-9] [ 1-5][0-9]' "$work/$report" || true)
    printf '%-22s %8s %7.2f %7s %7s %8.1f %10d %10d %10.1f\n' "$run" "$threads" "$wall" "$user" "$sys" \
      "$(awk "BEGIN{print $peak_kb/1024}")" "$lines" "$predictions" "$(awk "BEGIN{print $bytes/1048576}")"
    if [ "${KEEP_REPORTS:-0}" = 1 ]; then cp "$work/$report" "$here/$threads-$report"; fi
  done
  grep -v '^Space limit' "$work/$run.out" | sed 's/^/    /'
done
