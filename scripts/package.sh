#!/usr/bin/env bash
# Builds the Debian packages build/quorvex-convert_<version>_<arch>.deb (the
# command line) and build/quorvex_<version>_<arch>.deb (the window) with
# Debian's hardening flags, checks what each holds and that the packaged
# converter writes the golden bytes, and checks both with lintian when that
# is installed.
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
rm -f build/quorvex-convert_*.deb build/quorvex_*.deb
(cd build/package && cpack -B "$PWD/.." >/dev/null)
rm -rf build/_CPack_Packages
cli_deb=$(ls build/quorvex-convert_*.deb)
window_deb=$(ls build/quorvex_*.deb)

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
field() { dpkg-deb -f "$1" "$2"; }

# The command line needs neither Qt nor fonts; the window needs the command
# line of its own version and recommends the fonts and Qt's translations.
# Both take over from the single package of earlier versions.
version=$(field "$cli_deb" Version)
field "$cli_deb" Depends | grep -qi 'qt\|font' && fail "quorvex-convert depends on Qt or fonts"
field "$window_deb" Depends | grep -qF "quorvex-convert (= $version)" ||
    fail "quorvex does not depend on quorvex-convert (= $version)"
[ "$(field "$window_deb" Recommends)" = "fonts-noto-cjk, qt6-translations-l10n" ] ||
    fail "quorvex recommends '$(field "$window_deb" Recommends)'"
for deb in "$cli_deb" "$window_deb"; do
    for f in Replaces Breaks; do
        [ "$(field "$deb" $f)" = "quorvex-converter (<= $version)" ] ||
            fail "$deb: $f is '$(field "$deb" $f)'"
    done
done
# Each file in one package only: the command line's in quorvex-convert.
dpkg-deb -c "$cli_deb" | awk '{print $6}' | grep -v '/$' >build/package/cli.files
dpkg-deb -c "$window_deb" | awk '{print $6}' | grep -v '/$' >build/package/window.files
for f in ./usr/bin/quorvex-convert ./usr/share/man/man1/quorvex-convert.1.gz \
         ./usr/share/man/ja/man1/quorvex-convert.1.gz \
         ./usr/share/bash-completion/completions/quorvex-convert \
         ./usr/share/doc/quorvex-convert/copyright; do
    grep -qxF "$f" build/package/cli.files || fail "quorvex-convert lacks $f"
done
for f in ./usr/bin/quorvex ./usr/share/quorvex/quorvex.html ./usr/share/applications/quorvex.desktop \
         ./usr/share/man/man1/quorvex.1.gz ./usr/share/doc/quorvex/copyright; do
    grep -qxF "$f" build/package/window.files || fail "quorvex lacks $f"
done
shared=$(sort build/package/cli.files build/package/window.files | uniq -d)
[ -z "$shared" ] || fail "files in both packages: $shared"

# The packaged converter, built with other flags than the tests', still
# writes the golden bytes.
unpacked=build/package/unpacked
rm -rf "$unpacked"
dpkg-deb -x "$cli_deb" "$unpacked"
"$unpacked/usr/bin/quorvex-convert" --attr 2 --no-swap --close examples/town.mif \
    "$unpacked/town.sim" 2>/dev/null
cmp "$unpacked/town.sim" tests/data/golden/town_attr2_noswap_close.sim || fail "packaged converter"
[ "$failures" -eq 0 ] || exit 1
echo "Built $cli_deb and $window_deb"

if command -v lintian >/dev/null; then
    # Warnings fail too; the overrides name what is accepted and why.
    lintian --fail-on error,warning "$cli_deb" "$window_deb"
fi
