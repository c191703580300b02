#!/usr/bin/env bash
# Builds everything and runs the whole test suite: a normal build, a build
# with the address and undefined-behaviour sanitizers, and the Windows build
# (MinGW-w64) under Wine, which is also compared byte for byte with Linux.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${INSTALL_TEST_PACKAGES[@]}"

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEX_BUILD_UI=ON \
      -DQUORVEX_BUILD_TESTS=ON -DQUORVEX_SANITIZE=OFF >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# The window tests once more under a real window manager, openbox on Xvfb:
# frames, placement and dialogs as on a desktop.
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    openbox >/dev/null 2>&1 &
    sleep 1
    for t in main_window_test batch_test about_help_test preview_window_test; do
        build/bin/$t --gtest_brief=1 || exit 1
    done'

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_BUILD_UI=ON \
      -DQUORVEX_BUILD_TESTS=ON -DQUORVEX_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j "$jobs"
UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

# The block pipeline's threads under ThreadSanitizer: the conversion tests
# only, which drive the pipeline through every path (a race report fails them).
tsan_tests=(convert_file_test convert_combined_test golden_test hostile_input_test
            sima_property_test)
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_BUILD_UI=OFF \
      -DQUORVEX_BUILD_TESTS=ON -DQUORVEX_TSAN=ON >/dev/null
cmake --build build-tsan -j "$jobs" --target "${tsan_tests[@]}"
for t in "${tsan_tests[@]}"; do
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build-tsan/bin/$t --gtest_brief=1
done

# The Windows build: engine, command line and the Win32 window, tested under
# Wine in the build folder's own prefix; the window's tests need an X display.
bash scripts/build-windows.sh --tests -DQUORVEX_LINUX_CLI="$PWD/build/bin/quorvex-convert"
xvfb-run -a -s "-screen 0 1024x768x24" \
    ctest --test-dir build-windows --output-on-failure -j "$jobs"
