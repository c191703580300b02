#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default
# 60) on one core, one after the other, then prints executions and coverage
# per target. fuzz/corpus/<target>/ holds the seeds and every input that ever
# failed (replayed by the tests); the growing working corpus stays in
# build-fuzz/corpus/. A failing input is left in build-fuzz/findings/ and
# stops the script.
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

seconds=${1:-60}
shift || true
all=(mif_fuzz convert_fuzz combined_fuzz batch_list_fuzz field_fuzz cp932_fuzz line_reader_fuzz)
targets=("$@")
[ $# -eq 0 ] && targets=("${all[@]}")

# Longest input per target: files big enough for a few objects, short texts
# for the string routines.
declare -A max_len=([mif_fuzz]=8192 [convert_fuzz]=8192 [combined_fuzz]=12288
                    [batch_list_fuzz]=4096 [field_fuzz]=512 [cp932_fuzz]=512
                    [line_reader_fuzz]=2048)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVEX_FUZZ=ON -DQUORVEX_BUILD_UI=OFF -DQUORVEX_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz -j 2 --target "${targets[@]}"

mkdir -p build-fuzz/findings build-fuzz/logs
# The targets write real files (inputs, scratch files, the committed output):
# on a memory file system they cost no disk work.
shm=""
if [[ -d /dev/shm && -w /dev/shm ]]; then
    shm=$(mktemp -d /dev/shm/quorvex-fuzz.XXXXXX)
    export TMPDIR=$shm
    trap 'rm -rf "$shm"' EXIT
fi
total=0
printf '%-18s %12s %8s %8s\n' target executions cov ft > build-fuzz/summary.txt
for t in "${targets[@]}"; do
    mkdir -p "build-fuzz/corpus/$t"
    cp -n "fuzz/corpus/$t"/* "build-fuzz/corpus/$t/"
    log="build-fuzz/logs/$t.log"
    # Leaks are checked by the ordinary tests; here a run stops only on a
    # crash, a sanitizer report, a time-out or an out-of-memory input.
    if ! ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1:quarantine_size_mb=16 \
        nice build-fuzz/bin/"$t" -max_total_time="$seconds" -max_len="${max_len[$t]}" \
            -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
            -artifact_prefix="build-fuzz/findings/$t-" "build-fuzz/corpus/$t" >"$log" 2>&1; then
        tail -40 "$log"
        echo "FINDING in $t: see build-fuzz/findings/" >&2
        exit 1
    fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo 0)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo 0)
    total=$((total + runs))
    printf '%-18s %12s %8s %8s\n' "$t" "$runs" "$cov" "$ft" | tee -a build-fuzz/summary.txt
done
printf '%-18s %12s\n' all "$total" | tee -a build-fuzz/summary.txt
