#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 into build-windows/ and
# packs the portable zip and the installer:
#   bash scripts/build-windows.sh [--sign CERT.pfx] [--tests] [CMAKE_ARGS...]
# With --sign the two programs, and then the installer, are signed with the
# certificate (password in $QUORVEX_SIGN_PASSWORD, see
# packaging/windows/sign.sh); without it nothing is signed.
# With --tests the GoogleTest suites are built too (run them with
# `ctest --test-dir build-windows`; they run under Wine in the prefix
# build-windows/wine-prefix); further arguments go to CMake, e.g.
# -DQUORVEX_LINUX_CLI=build/bin/quorvex-convert to compare the two builds.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

tests=OFF
cert=
while [ $# -gt 0 ]; do
    case $1 in
        --tests) tests=ON; shift ;;
        --sign)
            if [ $# -lt 2 ] || [ ! -f "$2" ]; then
                echo "build-windows.sh: --sign needs a certificate file (.pfx)" >&2
                exit 2
            fi
            cert=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
            shift 2 ;;
        *) break ;;
    esac
done
install_missing "${BUILD_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"
[ -n "$cert" ] && install_missing osslsigncode
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
    # The installer's test installs into a prefix of its own: a copy of the
    # fresh one costs seconds, a second wineboot minutes.
    if [ ! -d "$build/msi-wine-prefix" ]; then
        cp -a "$build/wine-prefix" "$build/msi-wine-prefix.tmp"
        mv "$build/msi-wine-prefix.tmp" "$build/msi-wine-prefix"
    fi
fi
cmake --build "$build" -j "$jobs"
# Signed before they are packed, so the zip and the installer hold the same
# signed programs.
if [ -n "$cert" ]; then
    bash packaging/windows/sign.sh "$cert" "$build/bin/quorvex.exe" "$build/bin/quorvex-convert.exe"
fi
cmake --build "$build" --target package-msi
msi=$(ls -t "$build"/QuorvexConverter-*-x64.msi | head -n 1)
if [ -n "$cert" ]; then
    bash packaging/windows/sign.sh "$cert" "$msi"
fi
echo "Windows program: $build/bin/quorvex-convert.exe"
ls "$build"/QuorvexConverter-*-win64.zip "$msi"
