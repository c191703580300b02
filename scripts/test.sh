#!/usr/bin/env bash
# Builds everything and runs the whole test suite: a normal build, a build
# with the address and undefined-behaviour sanitizers, and the Windows build
# (MinGW-w64) under Wine, which is also compared byte for byte with Linux.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEX_BUILD_UI=ON \
      -DQUORVEX_BUILD_TESTS=ON -DQUORVEX_SANITIZE=OFF >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_BUILD_UI=ON \
      -DQUORVEX_BUILD_TESTS=ON -DQUORVEX_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

# The Windows build: engine, command line and the Win32 window, tested under
# Wine in the build folder's own prefix; the window's tests need an X display.
bash scripts/build-windows.sh --tests -DQUORVEX_LINUX_CLI="$PWD/build/bin/quorvex-convert"
xvfb-run -a -s "-screen 0 1024x768x24" \
    ctest --test-dir build-windows --output-on-failure -j "$jobs"
