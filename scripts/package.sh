#!/usr/bin/env bash
# Builds the Debian package build/quorvex-converter_<version>_<arch>.deb, and
# checks it with lintian when that is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"

cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEX_BUILD_UI=ON \
      -DQUORVEX_BUILD_TESTS=OFF -DQUORVEX_SANITIZE=OFF >/dev/null
cmake --build build/package
(cd build/package && cpack -B "$PWD/.." >/dev/null)
rm -rf build/_CPack_Packages
deb=$(ls -t build/quorvex-converter_*.deb | head -n 1)
echo "Built $deb"

if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb"
fi
