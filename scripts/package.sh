#!/usr/bin/env bash
# Builds the Debian package build/quorvex-converter_<version>_<arch>.deb with
# Debian's hardening flags, checks that its converter writes the golden bytes,
# and checks the package with lintian when that is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEX_BUILD_UI=ON \
      -DQUORVEX_BUILD_TESTS=OFF -DQUORVEX_SANITIZE=OFF \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build/package
(cd build/package && cpack -B "$PWD/.." >/dev/null)
rm -rf build/_CPack_Packages
deb=$(ls -t build/quorvex-converter_*.deb | head -n 1)

# The packaged converter, built with other flags than the tests', still
# writes the golden bytes.
unpacked=build/package/unpacked
rm -rf "$unpacked"
dpkg-deb -x "$deb" "$unpacked"
"$unpacked/usr/bin/quorvex-convert" --attr 2 --no-swap --close examples/town.mif \
    "$unpacked/town.sim" 2>/dev/null
cmp "$unpacked/town.sim" tests/data/golden/town_attr2_noswap_close.sim
echo "Built $deb"

if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb"
fi
