#!/usr/bin/env bash
# Throughput of the MP3 encoder (CMP3Encoder through the lame_enc module)
# against the lame program at the same settings, on the same music-like WAV,
# in the same run. Prints the best of REPEAT runs of each, as processor time
# and as wall time, and their ratios (ours / lame: 1.05 or less is within
# 5%). Both sides are whole processes that read the WAV file and write an MP3
# file.
#
#   bench/mp3-throughput.sh [BUILD_DIR] [SECONDS] [REPEAT]
#
# The lame options match the stream configuration the encoder gives the
# module: no ReplayGain analysis and the "original" bit clear (the module
# does neither), the information header except with MP3ForceCBR. The average
# and constant bit-rate cases give byte-identical audio; the VBR presets use
# the library's own presets, which lame's -V options match in mode and
# quality level.
set -euo pipefail

build=${1:-build}
seconds=${2:-300}
repeat=${3:-5}
program="$build/bench/mp3_throughput"
cmake --build "$build" --target mp3_throughput >/dev/null
command -v lame >/dev/null || { echo "the lame program is missing (apt-get install lame)" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
wav="$scratch/music.wav"
"$program" --make-wav "$wav" --seconds "$seconds" >/dev/null

# One timed run of a command: "wall cpu" in seconds (cpu = user + system of
# the command, which a busy machine disturbs less than the wall time).
timed() {
  local TIMEFORMAT='%R %U %S' times
  times=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
  awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' <<<"$times"
}

# The smaller of two numbers.
least() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }

printf '%-24s %9s %9s %7s %9s %9s %7s   %s\n' "case ($seconds s audio)" "ours cpu" "lame cpu" "ratio" \
  "ours wall" "lame wall" "ratio" "lame options"
run_case() {
  local name=$1 preset=$2 force=$3; shift 3
  local forceArg=() oursCpu="" lameCpu="" oursWall="" lameWall="" wall cpu
  [[ "$force" == 1 ]] && forceArg=(--force-cbr)
  # The two alternate, so that a busy moment does not fall on one side only.
  for ((i = 0; i < repeat; i++)); do
    read -r wall cpu < <(timed "$program" --wav "$wav" --preset "$preset" "${forceArg[@]}" --repeat 1 \
      --out "$scratch/ours.mp3")
    oursWall=$(least "$wall" "$oursWall"); oursCpu=$(least "$cpu" "$oursCpu")
    read -r wall cpu < <(timed lame --quiet --noreplaygain -o "$@" "$wav" "$scratch/lame.mp3")
    lameWall=$(least "$wall" "$lameWall"); lameCpu=$(least "$cpu" "$lameCpu")
  done
  awk -v n="$name" -v oc="$oursCpu" -v lc="$lameCpu" -v ow="$oursWall" -v lw="$lameWall" -v o="$*" \
    'BEGIN { printf "%-24s %9.3f %9.3f %7.3f %9.3f %9.3f %7.3f   %s\n", n, oc, lc, oc / lc, ow, lw, ow / lw, o }'
}

run_case "medium (VBR)" medium 0 -V 4
run_case "low (ABR 80)" low 0 --preset 80
run_case "high (VBR extreme)" high 0 -V 0
run_case "custom 192 (ABR)" custom:192 0 --preset 192
run_case "medium, force CBR 192" medium 1 --preset cbr 192 -t
