#!/usr/bin/env bash
# Speed and memory benchmark of quorvex-convert. For each kind of input
# (gen_cadastre, and ../shared/bench/genmif.py when it exists) and each grid
# size, runs side by side, five times each, on a memory file system:
#   - the converter:  quorvex-convert --attr 1 IN.mif OUT.sim
#   - the copy floor: cat IN.mif IN.mid >/dev/null; cat OUT.sim > COPY.sim
#   - ogr2ogr -f CSV -lco GEOMETRY=AS_WKT OUT.csv IN.mif
# and reports the medians, their ratios and the converter's peak memory.
# With -C, a second converter runs in turn with the first (A, B, copy in each
# round), so a change is judged against its parent under the same load; B's
# output must be byte for byte A's.
# See bench/README.md for what is measured and the targets.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
sizes="350 700 1400"
dir=""
converter="$repo/build/bin/quorvex-convert"
converter_b=""
generator=""
genmif="$repo/../shared/bench/genmif.py"
repeats=5
ogr_last=1
with_ogr=1
kinds="cadastre genmif"

usage() {
    cat <<EOF
Usage: bench/run.sh [-n "N..."] [-k "KIND..."] [-d DIR] [-c CONVERTER] [-C CONVERTER_B] [-g GENERATOR] [-p GENMIF] [-r REPEATS] [-R RUNS] [-O]
  -n "N..."     grid sizes (default "350 700 1400")
  -k "KIND..."  kinds of input: cadastre (gen_cadastre), genmif (genmif.py --crlf)
                (default "cadastre genmif"; genmif is skipped when the script is missing)
  -d DIR        folder for the data and outputs, on a memory file system
                (default /dev/shm/quorvex-bench); also the converter's TMPDIR
  -c CONVERTER  quorvex-convert to measure (default build/bin/quorvex-convert)
  -C CONVERTER_B  a second quorvex-convert, run in turn with the first; reports
                both, B/A, and fails when B's output differs from A's
  -g GENERATOR  gen_cadastre (default: beside the converter)
  -p GENMIF     genmif.py (default ../shared/bench/genmif.py beside the repository)
  -r REPEATS    runs of each program per case; medians are reported (default 5)
  -R RUNS       ogr2ogr runs at the largest size only (default 1: a run there takes
                40 s to over 2 minutes, five of them would triple the benchmark's time)
  -O            skip the ogr2ogr comparison
EOF
}

while getopts "n:k:d:c:C:g:p:r:R:Oh" opt; do
    case $opt in
        n) sizes=$OPTARG ;;
        k) kinds=$OPTARG ;;
        d) dir=$OPTARG ;;
        c) converter=$OPTARG ;;
        C) converter_b=$OPTARG ;;
        g) generator=$OPTARG ;;
        p) genmif=$OPTARG ;;
        r) repeats=$OPTARG ;;
        R) ogr_last=$OPTARG ;;
        O) with_ogr=0 ;;
        h) usage; exit 0 ;;
        *) usage >&2; exit 2 ;;
    esac
done
[[ -z $generator ]] && generator="$(dirname "$converter")/gen_cadastre"

die() { echo "run.sh: $*" >&2; exit 1; }
for v in $sizes "$repeats" "$ogr_last"; do
    [[ $v =~ ^[1-9][0-9]*$ ]] || die "grid sizes and repeats must be positive numbers"
done
[[ -x $converter ]] || die "no converter at $converter (build it, or give -c)"
[[ -z $converter_b || -x $converter_b ]] || die "no converter at $converter_b (-C)"
[[ -x /usr/bin/time ]] || die "/usr/bin/time is missing: apt-get install time"
if ((with_ogr)) && ! command -v ogr2ogr >/dev/null; then
    die "ogr2ogr is missing: apt-get install gdal-bin (or skip the comparison with -O)"
fi
run_kinds=""
for kind in $kinds; do
    case $kind in
        cadastre)
            [[ -x $generator ]] || die "no gen_cadastre at $generator (build target gen_cadastre, or give -g)"
            run_kinds+=" cadastre" ;;
        genmif)
            if [[ -f $genmif ]]; then
                command -v python3 >/dev/null || die "genmif.py needs python3"
                run_kinds+=" genmif"
            else
                echo "run.sh: no $genmif: skipping the genmif input" >&2
            fi ;;
        *) die "unknown kind of input: $kind" ;;
    esac
done
[[ -n $run_kinds ]] || die "no kind of input to run"

if [[ -z $dir ]]; then
    [[ -d /dev/shm && -w /dev/shm ]] || die "no /dev/shm: give a folder on a memory file system with -d"
    dir=/dev/shm/quorvex-bench
fi
dir=$(realpath -m "$dir")
case "$dir/" in
    "$(realpath "$repo")/"*) die "the data folder $dir lies inside the repository" ;;
esac
mkdir -p "$dir"
fstype=$(stat -f -c %T "$dir")
[[ $fstype == tmpfs || $fstype == ramfs ]] ||
    echo "run.sh: warning: $dir is on $fstype, not a memory file system" >&2
# The converter's scratch files go there too, so no disk is involved.
export TMPDIR=$dir

MiB=1048576
started=$(date +%s)

# Runs a command under /usr/bin/time -v; sets wall and cpu (user + system,
# children included) in seconds and rss (bytes).
measure() {
    local log="$dir/time.log" t0 t1
    t0=$(date +%s%N)
    if ! /usr/bin/time -v -o "$log" "$@" >"$dir/cmd.out" 2>&1; then
        cat "$dir/cmd.out" >&2
        die "failed: $*"
    fi
    t1=$(date +%s%N)
    wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", (b - a) / 1e9 }')
    rss=$(awk '/Maximum resident set size/ { print $NF * 1024 }' "$log")
    cpu=$(awk '/User time|System time/ { s += $NF } END { printf "%.4f", s }' "$log")
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
fmt() { awk -v v="$1" -v d="$2" 'BEGIN { printf "%.*f", d, v }'; }
mib() { awk -v v="$1" -v m=$MiB 'BEGIN { printf "%.1f", v / m }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

generate() {  # kind n base
    case $1 in
        cadastre) "$generator" "$2" "$3" >/dev/null ;;
        genmif) python3 "$genmif" "$3" "$2" --crlf ;;
    esac
}

copy_floor() { cat "$1" "$2" >/dev/null; cat "$3" >"$4"; }
export -f copy_floor

largest=$(printf '%s\n' $sizes | sort -n | tail -1)
results=()
echo "data in $dir ($fstype); $(nproc) cores; load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for kind in $run_kinds; do
    for n in $sizes; do
        base="$dir/$kind$n"
        echo "$kind N=$n: generating ..."
        generate "$kind" "$n" "$base"
        in_bytes=$(($(stat -c %s "$base.mif") + $(stat -c %s "$base.mid")))
        qw=() qc=() bw=() bc=() cw=() cc=() ow=() oc=() q_rss=0 b_rss=0 o_rss=0
        load_from=$(cut -d' ' -f1 /proc/loadavg)
        ogr_runs=$repeats
        ((n == largest && ogr_last < repeats)) && ogr_runs=$ogr_last
        for ((r = 1; r <= repeats; r++)); do
            echo "$kind N=$n: run $r of $repeats ..."
            rm -f "$base.sim" "$base.copy.sim" "$base.csv"
            measure "$converter" --attr 1 "$base.mif" "$base.sim"
            qw+=("$wall") qc+=("$cpu")
            ((rss > q_rss)) && q_rss=$rss
            if [[ -n $converter_b ]]; then
                mv "$base.sim" "$base.a.sim"
                measure "$converter_b" --attr 1 "$base.mif" "$base.sim"
                bw+=("$wall") bc+=("$cpu")
                ((rss > b_rss)) && b_rss=$rss
                cmp -s "$base.a.sim" "$base.sim" ||
                    die "$kind N=$n: the output of $converter_b differs from that of $converter"
                rm -f "$base.a.sim"
            fi
            measure bash -c 'copy_floor "$@"' copy "$base.mif" "$base.mid" "$base.sim" "$base.copy.sim"
            cw+=("$wall") cc+=("$cpu")
            if ((with_ogr && r <= ogr_runs)); then
                measure ogr2ogr -f CSV -lco GEOMETRY=AS_WKT "$base.csv" "$base.mif"
                ow+=("$wall") oc+=("$cpu")
                ((rss > o_rss)) && o_rss=$rss
            fi
        done
        points=$(grep -c '^A01,' "$base.sim")
        out_bytes=$(stat -c %s "$base.sim")
        q_wall=$(median "${qw[@]}") q_cpu=$(median "${qc[@]}")
        c_wall=$(median "${cw[@]}") c_cpu=$(median "${cc[@]}")
        o_wall=- o_cpu=- b_wall=- b_cpu=-
        if ((with_ogr)); then o_wall=$(median "${ow[@]}") o_cpu=$(median "${oc[@]}"); fi
        if [[ -n $converter_b ]]; then b_wall=$(median "${bw[@]}") b_cpu=$(median "${bc[@]}"); fi
        load_to=$(cut -d' ' -f1 /proc/loadavg)
        results+=("$kind $n $in_bytes $out_bytes $points $q_wall $q_cpu $c_wall $c_cpu $o_wall $o_cpu $q_rss $o_rss ${#ow[@]} $b_wall $b_cpu $b_rss $load_from $load_to")
        rm -f "$base.mif" "$base.mid" "$base.stats" "$base.sim" "$base.a.sim" "$base.copy.sim" "$base.csv"
    done
done
rm -f "$dir/time.log" "$dir/cmd.out"
[[ -n $converter_b ]] && echo "A = $converter; B = $converter_b (outputs identical in every run)"

echo
echo "Medians of $repeats runs; times in seconds, wall (CPU user + system); MB = 2^20 bytes."
echo "copy = cat IN.mif IN.mid >/dev/null; cat OUT.sim > COPY.sim. Goal: quorvex/copy <= 2 (wall)."
echo "ogr2ogr -f CSV -lco GEOMETRY=AS_WKT; [k]: median of k runs only (option -R)."
if [[ -n $converter_b ]]; then
    printf '%-8s %5s %8s %8s %9s | %-15s %-15s %-15s | %7s %7s %7s %7s | %s\n' \
        kind N "in MB" "out MB" points "A" "B" "copy" "B/A" "B/A" "A/copy" "B/copy" "load avg"
    printf '%-8s %5s %8s %8s %9s | %-15s %-15s %-15s | %7s %7s %7s %7s | %s\n' \
        "" "" "" "" "" "" "" "" wall CPU wall wall "(1 min)"
    for row in "${results[@]}"; do
        read -r kind n in_bytes out_bytes points q_wall q_cpu c_wall c_cpu _ _ _ _ _ b_wall b_cpu _ load_from load_to <<<"$row"
        printf '%-8s %5s %8s %8s %9s | %-15s %-15s %-15s | %7s %7s %7s %7s | %s\n' \
            "$kind" "$n" "$(mib "$in_bytes")" "$(mib "$out_bytes")" "$points" \
            "$(fmt "$q_wall" 3) ($(fmt "$q_cpu" 3))" "$(fmt "$b_wall" 3) ($(fmt "$b_cpu" 3))" \
            "$(fmt "$c_wall" 3) ($(fmt "$c_cpu" 3))" "$(ratio "$b_wall" "$q_wall")" \
            "$(ratio "$b_cpu" "$q_cpu")" "$(ratio "$q_wall" "$c_wall")" "$(ratio "$b_wall" "$c_wall")" \
            "$load_from-$load_to"
    done
fi
[[ -n $converter_b ]] && echo && echo "A alone, with ogr2ogr:"
printf '%-8s %5s %8s %8s %9s | %-15s %-15s %-21s | %7s %7s %7s | %s\n' \
    kind N "in MB" "out MB" points "quorvex" "copy" "ogr2ogr" "q/copy" "q/copy" "ogr/q" "load avg"
printf '%-8s %5s %8s %8s %9s | %-15s %-15s %-21s | %7s %7s %7s | %s\n' \
    "" "" "" "" "" "" "" "" wall CPU wall "(1 min)"
for row in "${results[@]}"; do
    read -r kind n in_bytes out_bytes points q_wall q_cpu c_wall c_cpu o_wall o_cpu q_rss o_rss o_runs _ _ _ load_from load_to <<<"$row"
    o_text=- o_ratio=-
    if [[ $o_wall != - ]]; then
        o_text="$(fmt "$o_wall" 2) ($(fmt "$o_cpu" 2))"
        ((o_runs != repeats)) && o_text+=" [$o_runs]"
        o_ratio=$(awk -v a="$o_wall" -v b="$q_wall" 'BEGIN { printf "%.0fx", a / b }')
    fi
    printf '%-8s %5s %8s %8s %9s | %-15s %-15s %-21s | %7s %7s %7s | %s\n' \
        "$kind" "$n" "$(mib "$in_bytes")" "$(mib "$out_bytes")" "$points" \
        "$(fmt "$q_wall" 3) ($(fmt "$q_cpu" 3))" "$(fmt "$c_wall" 3) ($(fmt "$c_cpu" 3))" \
        "$o_text" "$(ratio "$q_wall" "$c_wall")" "$(ratio "$q_cpu" "$c_cpu")" "$o_ratio" \
        "$load_from-$load_to"
done

echo
echo "Linear growth: converter wall and CPU time per MB of input."
for row in "${results[@]}"; do
    read -r kind n in_bytes out_bytes points q_wall q_cpu _ <<<"$row"
    printf '  %-8s N=%-5s %6s ms/MB wall  %6s ms/MB CPU\n' "$kind" "$n" \
        "$(awk -v t="$q_wall" -v b="$in_bytes" -v m=$MiB 'BEGIN { printf "%.2f", 1000 * t / (b / m) }')" \
        "$(awk -v t="$q_cpu" -v b="$in_bytes" -v m=$MiB 'BEGIN { printf "%.2f", 1000 * t / (b / m) }')"
done

verdict() { if [[ $1 == 1 ]]; then echo PASS; else echo FAIL; fi; }
echo
echo "Memory: converter (B when two) peak RSS (largest of the runs) against 64 MB + 64 B per distinct point;"
echo "the rest (RSS - 64 B x points) must not grow with the file (at most 4 MB above the smallest N)."
for kind in $run_kinds; do
    first_rest=""
    for row in "${results[@]}"; do
        read -r k n in_bytes out_bytes points q_wall q_cpu c_wall c_cpu o_wall o_cpu q_rss o_rss _ _ _ b_rss _ <<<"$row"
        [[ $k == "$kind" ]] || continue
        # With two converters, the memory check is the second's (the new one).
        [[ -n $converter_b ]] && q_rss=$b_rss
        budget=$((64 * MiB + 64 * points))
        rest=$((q_rss - 64 * points))
        [[ -z $first_rest ]] && first_rest=$rest
        printf '  %-8s N=%-5s peak RSS %7s MB  budget %7s MB: %s  rest %7s MB: %s\n' "$kind" "$n" \
            "$(mib "$q_rss")" "$(mib "$budget")" "$(verdict $((q_rss < budget)))" \
            "$(mib "$rest")" "$(verdict $((rest <= first_rest + 4 * MiB)))"
    done
done
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg); total time $(($(date +%s) - started)) s"
