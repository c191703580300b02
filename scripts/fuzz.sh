#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default
# 60) on one core, then prints executions and coverage per target.
# fuzz/corpus/<target>/ holds the seeds and every input that ever failed
# (replayed by the tests); the growing working corpus stays in
# build-fuzz/corpus/. A failing input is left in build-fuzz/findings/ and
# makes the script fail.
#   bash scripts/fuzz.sh [-j JOBS] [-r RUNS] [SECONDS] [TARGET[=RUNS]...]
#   -j JOBS  targets run side by side, each on a core of its own (default 1)
#   -r RUNS  a target also stops after RUNS executions (default: no limit);
#            TARGET=RUNS sets this for one target
# Invariants that hold only once an open fault is mended are compiled in with
# FUZZ_CHECKS, compile definitions such as FUZZ_CHECKS="-DCHECK=1".
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=1
runs=-1
while getopts "j:r:" opt; do
    case $opt in
        j) jobs=$OPTARG ;;
        r) runs=$OPTARG ;;
        *) echo "usage: bash scripts/fuzz.sh [-j JOBS] [-r RUNS] [SECONDS] [TARGET[=RUNS]...]" >&2
           exit 2 ;;
    esac
done
shift $((OPTIND - 1))
seconds=${1:-60}
shift || true

. scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

# The targets that go through real files and a whole run are the slowest:
# they start first.
all=(convert_fuzz combined_fuzz legal_convert_fuzz mif_fuzz batch_list_fuzz line_reader_fuzz
     cp932_fuzz field_fuzz sima_reader_fuzz)
args=("$@")
[ $# -eq 0 ] && args=("${all[@]}")
targets=()
declare -A runs_of
for a in "${args[@]}"; do
    t=${a%%=*}
    targets+=("$t")
    runs_of[$t]=$runs
    [[ $a == *=* ]] && runs_of[$t]=${a#*=}
done

# Longest input per target: files big enough for a few objects, short texts
# for the string routines.
declare -A max_len=([mif_fuzz]=8192 [convert_fuzz]=8192 [combined_fuzz]=12288
                    [legal_convert_fuzz]=4096 [batch_list_fuzz]=4096 [field_fuzz]=512
                    [cp932_fuzz]=512 [line_reader_fuzz]=2048 [sima_reader_fuzz]=4096)
# Words the mutations splice in: MIF keywords and clauses, and the batch
# list's switches and byte-order marks in code page 932 and in UTF-8.
declare -A dict_of=([mif_fuzz]=fuzz/mif.dict [convert_fuzz]=fuzz/mif.dict
                    [combined_fuzz]=fuzz/mif.dict [batch_list_fuzz]=fuzz/batch_list_fuzz.dict
                    [sima_reader_fuzz]=fuzz/sima.dict)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVEX_FUZZ=ON -DQUORVEX_BUILD_UI=OFF -DQUORVEX_BUILD_TESTS=OFF \
    -DQUORVEX_FUZZ_CHECKS="${FUZZ_CHECKS:-}" >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"

rm -rf build-fuzz/findings build-fuzz/logs
mkdir -p build-fuzz/findings build-fuzz/logs
# The targets write real files (inputs, scratch files, the committed output):
# on a memory file system they cost no disk work.
shm=""
if [[ -d /dev/shm && -w /dev/shm ]]; then
    shm=$(mktemp -d /dev/shm/quorvex-fuzz.XXXXXX)
    export TMPDIR=$shm
fi
cleanup() {
    jobs -pr | xargs -r kill 2>/dev/null || true
    wait || true
    [ -n "$shm" ] && rm -rf "$shm"
}
trap cleanup EXIT

# One target; its exit status is libFuzzer's.
run_target() {
    local t=$1
    mkdir -p "build-fuzz/corpus/$t"
    cp -n "fuzz/corpus/$t"/* "build-fuzz/corpus/$t/"
    local dict=()
    [ -n "${dict_of[$t]:-}" ] && dict=(-dict="${dict_of[$t]}")
    # Leaks are checked by the ordinary tests; here a run stops only on a
    # crash, a sanitizer report, a time-out or an out-of-memory input.
    ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1:quarantine_size_mb=16 \
        nice build-fuzz/bin/"$t" -max_total_time="$seconds" -runs="${runs_of[$t]}" \
            -max_len="${max_len[$t]}" "${dict[@]}" -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
            -artifact_prefix="build-fuzz/findings/$t-" "build-fuzz/corpus/$t" \
            >"build-fuzz/logs/$t.log" 2>&1
}

declare -A pid_of
for t in "${targets[@]}"; do
    while [ "$(jobs -pr | wc -l)" -ge "$jobs" ]; do
        wait -n || true
    done
    run_target "$t" &
    pid_of[$t]=$!
done

failed=()
for t in "${targets[@]}"; do
    wait "${pid_of[$t]}" || failed+=("$t")
done

total=0
printf '%-18s %12s %8s %8s %8s\n' target executions seconds cov ft | tee build-fuzz/summary.txt
for t in "${targets[@]}"; do
    log="build-fuzz/logs/$t.log"
    n=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    s=$(grep -o 'Done [0-9]* runs in [0-9]* second' "$log" | grep -o 'in [0-9]*' | grep -o '[0-9]*' || echo -)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo 0)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo 0)
    total=$((total + n))
    printf '%-18s %12s %8s %8s %8s\n' "$t" "$n" "$s" "$cov" "$ft" | tee -a build-fuzz/summary.txt
done
printf '%-18s %12s\n' all "$total" | tee -a build-fuzz/summary.txt

if [ ${#failed[@]} -gt 0 ]; then
    for t in "${failed[@]}"; do
        tail -40 "build-fuzz/logs/$t.log"
    done
    echo "FINDING in ${failed[*]}: see build-fuzz/findings/" >&2
    exit 1
fi
