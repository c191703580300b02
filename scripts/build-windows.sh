#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 into build-windows/ and
# packs the portable zip:
#   bash scripts/build-windows.sh [--tests [CMAKE_ARGS...]]
# With --tests the GoogleTest suites are built too (run them with
# `ctest --test-dir build-windows`; they run under Wine in the prefix
# build-windows/wine-prefix); further arguments go to CMake, e.g.
# -DQUORVEX_LINUX_CLI=build/bin/quorvex-convert to compare the two builds.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

tests=OFF
if [ "${1:-}" = "--tests" ]; then
    tests=ON
    shift
fi
install_missing "${BUILD_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"
if [ "$tests" = ON ]; then
    install_missing "${WINDOWS_TEST_PACKAGES[@]}"
    ensure_locales ja_JP.UTF-8 en_US.UTF-8
fi

build=build-windows
jobs=${QUORVEX_JOBS:-$(nproc)}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
      -DQUORVEX_BUILD_UI=OFF -DQUORVEX_BUILD_TESTS="$tests" "$@" >/dev/null
if [ "$tests" = ON ]; then
    # Create the Wine prefix before the build discovers the tests in it.
    QUORVEX_WINEPREFIX="$PWD/$build/wine-prefix" scripts/wine-run.sh --boot-only
fi
cmake --build "$build" -j "$jobs"
cmake --build "$build" --target package-zip
echo "Windows program: $build/bin/quorvex-convert.exe"
ls "$build"/QuorvexConverter-*-win64.zip
