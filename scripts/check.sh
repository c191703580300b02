#!/usr/bin/env bash
# The quick check while working: the Release build with the window and its
# tests, less the slow ones. The whole suite (sanitizers, Windows under Wine,
# the window under a real window manager) is scripts/test.sh.
#   bash scripts/check.sh [CTEST_ARGS...]     e.g. -L engine, -R Batch
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
# ccache, where installed, keeps rebuilds after a branch switch short.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEX_BUILD_UI=ON \
      -DQUORVEX_BUILD_TESTS=ON -DQUORVEX_SANITIZE=OFF "${launcher[@]}" >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" -LE slow "$@"
