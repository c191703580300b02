#!/usr/bin/env bash
# Kills a conversion of the benchmark's 100 MB map with SIGKILL at KILLS
# moments spread evenly over its run time, each onto an existing output, and
# checks after each kill that the output's name holds the old or the new
# complete file and that nothing else is left in its folder or in TMPDIR.
#   bash scripts/kill_test.sh [-n GRID] [-k KILLS] [-d DIR]
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
n=700 kills=20 dir=/tmp/quorvex-kill
while getopts "n:k:d:" opt; do
    case $opt in
        n) n=$OPTARG ;; k) kills=$OPTARG ;; d) dir=$OPTARG ;;
        *) echo "usage: $0 [-n GRID] [-k KILLS] [-d DIR]" >&2; exit 2 ;;
    esac
done
converter="$repo/build/bin/quorvex-convert"
generator="$repo/build/bin/gen_cadastre"
[[ -x $converter && -x $generator ]] || { echo "build quorvex-convert and gen_cadastre first" >&2; exit 1; }

mkdir -p "$dir/data" "$dir/job" "$dir/tmp" "$dir/ref"
[[ -f $dir/data/map.mif ]] || "$generator" "$n" "$dir/data/map" >/dev/null
cp "$dir/data/map.mif" "$dir/data/map.mid" "$dir/job/"
echo "input: $(du -m "$dir/job/map.mif" | cut -f1) MB MIF"

# The new output, and how long a run takes once the input is cached.
TMPDIR="$dir/tmp" "$converter" "$dir/job/map.mif" "$dir/ref/new.sim" 2>/dev/null
start=$(date +%s%N)
TMPDIR="$dir/tmp" "$converter" "$dir/job/map.mif" "$dir/ref/new.sim" 2>/dev/null
took=$(( ($(date +%s%N) - start) / 1000 ))  # microseconds
printf 'old output\r\n' > "$dir/ref/old.sim"
echo "one run: $((took / 1000)) ms"

failures=0
for ((k = 0; k < kills; k++)); do
    cp "$dir/ref/old.sim" "$dir/job/map.sim"
    at=$(( took * k / kills + took / (2 * kills) ))
    TMPDIR="$dir/tmp" "$converter" "$dir/job/map.mif" "$dir/job/map.sim" 2>/dev/null &
    pid=$!
    sleep "$(printf '%d.%06d' $((at / 1000000)) $((at % 1000000)))"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if cmp -s "$dir/job/map.sim" "$dir/ref/old.sim"; then state=old
    elif cmp -s "$dir/job/map.sim" "$dir/ref/new.sim"; then state=new
    else state=BROKEN; fi
    left=$(ls -A "$dir/job" | grep -vx -e map.mif -e map.mid -e map.sim || true)
    temp=$(ls -A "$dir/tmp")
    verdict=ok
    if [[ $state == BROKEN || -n $left || -n $temp ]]; then verdict=FAIL; failures=$((failures + 1)); fi
    printf 'kill %2d at %6d ms: %-6s left: [%s] tmp: [%s] %s\n' "$k" $((at / 1000)) "$state" \
        "$left" "$temp" "$verdict"
    rm -rf "${dir:?}/tmp/"* ; ls -A "$dir/job" | grep -vx -e map.mif -e map.mid | \
        (cd "$dir/job" && xargs -r rm -f)
done
echo "$failures of $kills kills failed"
[[ $failures -eq 0 ]]
