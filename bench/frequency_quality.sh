#!/usr/bin/env bash
# How far maps generated with and without "Learn how often squares occur"
# are from the sample maps they were learned from, and what the option
# costs in time. Makes the sample content, learns it twice (without and
# with --frequencies), generates SEEDS maps of SIZE with one worker from
# each, checks every map, and prints the figures side by side:
#   square frequency distance, mean horizontal/vertical run of deep water,
#   mean horizontal/vertical run of open land and their ratio, total
#   generation time, maps valid.
#
#   bench/frequency_quality.sh ZORVANE [WORKDIR]
#   SEEDS=20 SIZE=202x202 bench/frequency_quality.sh build-bench/src/cli/zorvane
#
# WORKDIR (default: a new temporary folder) keeps the maps, so that two
# builds can be compared map for map (cmp WORKDIR/off_1.zl ...).
set -euo pipefail

zorvane=$(realpath "${1:?usage: frequency_quality.sh ZORVANE [WORKDIR]}")
work=${2:-$(mktemp -d)}
seeds=${SEEDS:-20}
size=${SIZE:-202x202}
mkdir -p "$work"
work=$(realpath "$work")

"$zorvane" samples "$work/content" >/dev/null
cd "$work/content/zmpe"
examples=(meadow.zm lakes.zm village.zm islands.zm highlands.zm coast.zm)
learn=("${examples[@]}" grass_connector.zm --connector grass_connector.zm)
"$zorvane" learn "${learn[@]}" -o "$work/off.zg" >/dev/null
"$zorvane" learn "${learn[@]}" --frequencies -o "$work/on.zg" >/dev/null

# Processor time (user and system) of each run: steadier than the clock
# on a machine shared with other work.
TIMEFORMAT='%U + %S'
declare -A seconds valid dist deepH deepV landH landV land
for mode in off on; do
  seconds[$mode]=0
  valid[$mode]=0
done
for seed in $(seq 1 "$seeds"); do
  for mode in off on; do
    map="$work/${mode}_$seed.zl"
    spent=$({ time "$zorvane" generate "$work/$mode.zg" -o "$map" --size "$size" --seed "$seed" --threads 1 \
      >/dev/null 2>/dev/null; } 2>&1) || true
    seconds[$mode]=$(echo "${seconds[$mode]} + $spent" | bc)
    if "$zorvane" check "$map" "$work/$mode.zg" >/dev/null 2>&1; then valid[$mode]=$((valid[$mode] + 1)); fi
  done
done

figures() {  # MODE: the statistics of its maps against the examples
  "$zorvane" stats "$work"/"$1"_*.zl --against "${examples[@]}" --json > "$work/$1.json"
}
figures off
figures on

class() {  # JSON SIDE ATTRIBUTE FIELD
  jq -r --argjson a "$3" ".$2.attribute_classes[] | select(.attribute == \$a) | .$4" "$1"
}
ratio() { echo "scale=4; $1 / $2" | bc; }

printf '%-44s %10s %10s %10s\n' "$seeds maps of $size, one worker" off on examples
for mode in off on; do
  j="$work/$mode.json"
  dist[$mode]=$(jq -r .square_frequency_distance "$j")
  deepH[$mode]=$(class "$j" maps 10 mean_horizontal_run)
  deepV[$mode]=$(class "$j" maps 10 mean_vertical_run)
  landH[$mode]=$(class "$j" maps 0 mean_horizontal_run)
  landV[$mode]=$(class "$j" maps 0 mean_vertical_run)
  land[$mode]=$(ratio "${landH[$mode]}" "${landV[$mode]}")
done
j="$work/on.json"
exDeepH=$(class "$j" examples 10 mean_horizontal_run)
exDeepV=$(class "$j" examples 10 mean_vertical_run)
exLandH=$(class "$j" examples 0 mean_horizontal_run)
exLandV=$(class "$j" examples 0 mean_vertical_run)
exLand=$(ratio "$exLandH" "$exLandV")
row() { printf '%-44s %10.3f %10.3f %10s\n' "$1" "$2" "$3" "$4"; }
row "square frequency distance" "${dist[off]}" "${dist[on]}" 0
row "deep water, mean horizontal run" "${deepH[off]}" "${deepH[on]}" "$(printf %.3f "$exDeepH")"
row "deep water, mean vertical run" "${deepV[off]}" "${deepV[on]}" "$(printf %.3f "$exDeepV")"
row "open land, mean horizontal run" "${landH[off]}" "${landH[on]}" "$(printf %.3f "$exLandH")"
row "open land, mean vertical run" "${landV[off]}" "${landV[on]}" "$(printf %.3f "$exLandV")"
row "open land, horizontal / vertical run" "${land[off]}" "${land[on]}" "$(printf %.3f "$exLand")"
row "generation, processor time (s)" "${seconds[off]}" "${seconds[on]}" "-"
printf '%-44s %10s %10s\n' "maps valid" "${valid[off]}/$seeds" "${valid[on]}/$seeds"
printf '%-44s %10.2fx\n' "time with the option" "$(ratio "${seconds[on]}" "${seconds[off]}")"
echo "maps and statistics in $work"
