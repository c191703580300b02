#!/usr/bin/env bash
# Speed and memory benchmark of quorvex-convert on a synthetic cadastral map.
# See bench/README.md for what is measured and the targets.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
n=700
small=""
# A memory file system where there is one: the converter syncs its output to
# the disk before it takes its name, which a memory file system skips, so the
# figures compare with programs that do not sync.
dir=/tmp/quorvex-bench
[[ -d /dev/shm && -w /dev/shm ]] && dir=/dev/shm/quorvex-bench
converter="$repo/build/bin/quorvex-convert"
generator=""
repeats=3
with_ogr=1

usage() {
    cat <<EOF
Usage: bench/run.sh [-n N] [-m M] [-d DIR] [-c CONVERTER] [-g GENERATOR] [-r REPEATS] [-O]
  -n N          grid size of the main run (default 700: about 110 MiB of MIF)
  -m M          grid size of the memory comparison run (default N/2)
  -d DIR        folder for the generated data and outputs (default /dev/shm/quorvex-bench, else /tmp/quorvex-bench)
  -c CONVERTER  quorvex-convert to measure (default build/bin/quorvex-convert)
  -g GENERATOR  gen_cadastre (default: beside the converter)
  -r REPEATS    converter runs of the main size; the fastest counts (default 3)
  -O            skip the ogr2ogr comparison
EOF
}

while getopts "n:m:d:c:g:r:Oh" opt; do
    case $opt in
        n) n=$OPTARG ;;
        m) small=$OPTARG ;;
        d) dir=$OPTARG ;;
        c) converter=$OPTARG ;;
        g) generator=$OPTARG ;;
        r) repeats=$OPTARG ;;
        O) with_ogr=0 ;;
        h) usage; exit 0 ;;
        *) usage >&2; exit 2 ;;
    esac
done
[[ -z $small ]] && small=$((n / 2))
[[ -z $generator ]] && generator="$(dirname "$converter")/gen_cadastre"

die() { echo "run.sh: $*" >&2; exit 1; }
for v in "$n" "$small" "$repeats"; do
    [[ $v =~ ^[1-9][0-9]*$ ]] || die "grid sizes and repeats must be positive numbers"
done
[[ -x $converter ]] || die "no converter at $converter (build it, or give -c)"
[[ -x $generator ]] || die "no gen_cadastre at $generator (build target gen_cadastre, or give -g)"
[[ -x /usr/bin/time ]] || die "/usr/bin/time is missing: apt-get install time"
if ((with_ogr)) && ! command -v ogr2ogr >/dev/null; then
    die "ogr2ogr is missing: apt-get install gdal-bin (or skip the comparison with -O)"
fi

dir=$(realpath -m "$dir")
case "$dir/" in
    "$(realpath "$repo")/"*) die "the data folder $dir lies inside the repository" ;;
esac
mkdir -p "$dir"

MiB=1048576

# Runs a command under /usr/bin/time -v; sets wall and cpu (user + system)
# in seconds and rss (bytes). CPU time shows how much of the wall time other
# load on the machine took.
measure() {
    local log="$dir/time.log" t0 t1
    t0=$(date +%s%N)
    if ! /usr/bin/time -v -o "$log" "$@" >"$dir/cmd.out" 2>&1; then
        cat "$dir/cmd.out" >&2
        die "failed: $*"
    fi
    t1=$(date +%s%N)
    wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
    rss=$(awk '/Maximum resident set size/ { print $NF * 1024 }' "$log")
    cpu=$(awk '/User time|System time/ { s += $NF } END { printf "%.3f", s }' "$log")
}

stat_of() { sed -n "s/^$2=//p" "$1.stats"; }

generate() {
    echo "generating N=$1 ..."
    "$generator" "$1" "$dir/cadastre$1" >/dev/null
}

# Converts grid size $1 $2 times; sets best_wall and its best_cpu, max_rss,
# points.
convert() {
    local base="$dir/cadastre$1" i
    best_wall="" best_cpu="" max_rss=0
    for ((i = 0; i < $2; i++)); do
        measure "$converter" --attr 1 "$base.mif" "$base.sim"
        if [[ -z $best_wall ]] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then
            best_wall=$wall best_cpu=$cpu
        fi
        ((rss > max_rss)) && max_rss=$rss
    done
    points=$(grep -c '^A01,' "$base.sim")
}

fmt() { awk -v v="$1" -v d="$2" 'BEGIN { printf "%.*f", d, v }'; }
mib() { awk -v v="$1" -v m=$MiB 'BEGIN { printf "%.1f", v / m }'; }

generate "$n"
((small != n)) && generate "$small"

big="$dir/cadastre$n"
in_bytes=$(($(stat_of "$big" mif_bytes) + $(stat_of "$big" mid_bytes)))
coord_lines=$(stat_of "$big" coordinate_lines)

echo "converting N=$n ($repeats runs) ..."
convert "$n" "$repeats"
q_wall=$best_wall q_cpu=$best_cpu q_rss=$max_rss q_points=$points
budget=$((64 * MiB + 64 * q_points))

if ((with_ogr)); then
    echo "ogr2ogr N=$n ..."
    rm -f "$big.csv"
    measure ogr2ogr -f CSV -lco GEOMETRY=AS_WKT "$big.csv" "$big.mif"
    o_wall=$wall o_cpu=$cpu o_rss=$rss
fi

echo "converting N=$small ..."
convert "$small" 1
s_rss=$max_rss s_points=$points

rest_big=$((q_rss - 64 * q_points))
rest_small=$((s_rss - 64 * s_points))
slope=$(awk -v a="$q_rss" -v b="$s_rss" -v p="$q_points" -v q="$s_points" \
    'BEGIN { if (p == q) print "n/a"; else printf "%.1f", (a - b) / (p - q) }')

verdict() { if [[ $1 == 1 ]]; then echo PASS; else echo FAIL; fi; }

echo
echo "quorvex-convert --attr 1, N=$n (MB = 2^20 bytes; fastest of $repeats runs)"
printf '  %-34s %s\n' \
    "input (MIF + MID)" "$(mib "$in_bytes") MB ($(mib "$(stat_of "$big" mif_bytes)") MB MIF)" \
    "objects" "$(stat_of "$big" objects)" \
    "coordinate lines (vertices)" "$coord_lines" \
    "wall time (CPU user + system)" "$(fmt "$q_wall" 3) s ($(fmt "$q_cpu" 2) s)" \
    "throughput" "$(awk -v b="$in_bytes" -v t="$q_wall" -v m=$MiB 'BEGIN { printf "%.1f", b / m / t }') MB/s" \
    "vertices per second" "$(awk -v c="$coord_lines" -v t="$q_wall" 'BEGIN { printf "%.0f", c / t }')" \
    "peak RSS" "$(mib "$q_rss") MB" \
    "distinct points (A01 lines)" "$q_points" \
    "memory budget 64 MB + 64 B/point" "$(mib "$budget") MB: $(verdict $((q_rss < budget)))"
if ((with_ogr)); then
    ratio=$(awk -v a="$o_wall" -v b="$q_wall" 'BEGIN { printf "%.1f", a / b }')
    cpu_ratio=$(awk -v a="$o_cpu" -v b="$q_cpu" 'BEGIN { printf "%.1f", a / b }')
    printf '  %-34s %s\n' \
        "ogr2ogr -f CSV (GEOMETRY=AS_WKT)" \
        "$(fmt "$o_wall" 3) s ($(fmt "$o_cpu" 2) s CPU), peak RSS $(mib "$o_rss") MB" \
        "speed ratio ogr2ogr / quorvex" \
        "${ratio}x wall, ${cpu_ratio}x CPU (target >= 40x): $(verdict "$(awk -v r="$ratio" 'BEGIN { print (r >= 40) }')")"
fi
echo
echo "memory independence: peak RSS - 64 B x distinct points"
printf '  N=%-6s %10s points  peak RSS %7s MB  rest %7s MB\n' \
    "$small" "$s_points" "$(mib "$s_rss")" "$(mib "$rest_small")" \
    "$n" "$q_points" "$(mib "$q_rss")" "$(mib "$rest_big")"
printf '  %-34s %s\n' "growth of RSS per added point" "$slope B" \
    "rest does not grow (+4 MB allowed)" "$(verdict $((rest_big <= rest_small + 4 * MiB)))"
