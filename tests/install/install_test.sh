#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR under /usr and checks what a user
# gets: the files in their places, valid desktop, AppStream and MIME data,
# clean manual pages, the installed converter writing the build's bytes, and
# the installed window finding its help and icon; then each of the two
# components (the Debian packages quorvex-convert and quorvex) alone.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1
source=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

DESTDIR="$root" cmake --install "$build" --prefix /usr >"$root/install.log" 2>&1 ||
    { cat "$root/install.log"; echo "FAIL: cmake --install"; exit 1; }
usr=$root/usr

for f in bin/quorvex bin/quorvex-convert \
         share/quorvex/quorvex.html share/quorvex/quorvex-index.txt \
         share/icons/hicolor/scalable/apps/quorvex.svg \
         share/applications/quorvex.desktop share/mime/packages/quorvex.xml \
         share/metainfo/example.quorvex.Converter.metainfo.xml \
         share/man/man1/quorvex.1.gz share/man/man1/quorvex-convert.1.gz \
         share/man/ja/man1/quorvex.1.gz share/man/ja/man1/quorvex-convert.1.gz \
         share/bash-completion/completions/quorvex-convert \
         share/doc/quorvex-convert/copyright share/doc/quorvex-convert/changelog.gz \
         share/doc/quorvex/copyright share/doc/quorvex/changelog.gz; do
    [ -f "$usr/$f" ] || fail "not installed: $f"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$usr/share/icons/hicolor/${size}x$size/apps/quorvex.png
    # Width and height from the PNG header, big-endian at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x$size" ] || fail "$png is '$dims', not ${size}x$size"
done
[ -x "$usr/bin/quorvex-convert" ] || fail "quorvex-convert is not executable"

desktop-file-validate "$usr/share/applications/quorvex.desktop" || fail "desktop-file-validate"
# Opening MIF files from the file manager passes them on the command line,
# which lintian wants of an entry that names a MIME type: no override needed.
grep -qx 'Exec=quorvex %F' "$usr/share/applications/quorvex.desktop" || fail "Exec takes no files"
[ ! -e "$usr/share/lintian/overrides/quorvex" ] || fail "a lintian override is installed"
appstreamcli validate --no-net "$usr/share/metainfo/example.quorvex.Converter.metainfo.xml" \
    >"$root/appstream.log" 2>&1 || { cat "$root/appstream.log"; fail "appstreamcli validate"; }
grep -q '<release version="[0-9]' "$usr/share/metainfo/example.quorvex.Converter.metainfo.xml" ||
    fail "metainfo without the release version"

# The MIME type compiles (mime_type_test checks what it matches).
update-mime-database "$usr/share/mime" >"$root/mime.log" 2>&1 ||
    { cat "$root/mime.log"; fail "update-mime-database"; }
[ -f "$usr/share/mime/application/x-mapinfo-mif.xml" ] || fail "MIME type not registered"

for page in "$usr"/share/man/man1/*.1.gz "$usr"/share/man/ja/man1/*.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
done
bash -n "$usr/share/bash-completion/completions/quorvex-convert" || fail "completion syntax"
# shellcheck disable=SC1091
completions=$(bash -c ". '$usr/share/bash-completion/completions/quorvex-convert'
    COMP_WORDS=(quorvex-convert --no-s); COMP_CWORD=1; _quorvex_convert; echo \"\${COMPREPLY[*]}\"")
[ "$completions" = "--no-swap" ] || fail "completion of --no-s gave '$completions'"

# The installed converter writes the same bytes as the build's.
mkdir -p "$root/out"
"$build/bin/quorvex-convert" --attr CHIBAN --genba "北地区" "$source/examples/town.mif" \
    "$root/out/build.sim" 2>/dev/null || fail "build converter failed"
"$usr/bin/quorvex-convert" --attr CHIBAN --genba "北地区" "$source/examples/town.mif" \
    "$root/out/installed.sim" 2>/dev/null || fail "installed converter failed"
cmp "$root/out/build.sim" "$root/out/installed.sim" || fail "installed converter's output differs"
"$usr/bin/quorvex-convert" --version | grep -q '2\.0\.0\.77' || fail "installed --version"

# The installed window starts and tells where it found its files.
log=$root/window.log
HOME=$root/home XDG_CONFIG_HOME=$root/home/.config QT_QPA_PLATFORM=offscreen \
    QT_LOGGING_RULES="quorvex.files.info=true" "$usr/bin/quorvex" >"$log" 2>&1 &
pid=$!
for _ in $(seq 100); do
    grep -q 'icon sizes' "$log" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
grep -qF "help document: $usr/share/quorvex/quorvex.html" "$log" ||
    { cat "$log"; fail "installed window did not find its help document"; }
grep -q 'icon sizes:.*QSize(256, 256)' "$log" || { cat "$log"; fail "installed window without its icon"; }
[ -z "$(ls -A "$usr/bin" | grep -v '^quorvex\(-convert\)\?$')" ] ||
    fail "the window wrote beside its installed executable: $(ls "$usr/bin")"

# The components: the command line alone has everything it needs and nothing
# of the window; the window's half holds no file of the command line's, so
# the two packages never claim the same file.
for component in convert window; do
    DESTDIR="$root/$component" cmake --install "$build" --prefix /usr --component $component \
        >"$root/$component.log" 2>&1 || { cat "$root/$component.log"; fail "install $component"; }
    (cd "$root/$component" && find . -type f | sort) >"$root/$component.files"
done
grep -qxF ./usr/bin/quorvex-convert "$root/convert.files" || fail "convert lacks the program"
grep -qxF ./usr/share/bash-completion/completions/quorvex-convert "$root/convert.files" ||
    fail "convert lacks the completion"
grep -q 'quorvex\.html\|/applications/\|/icons/\|bin/quorvex$\|man1/quorvex\.1' "$root/convert.files" &&
    fail "convert holds files of the window"
grep -qxF ./usr/bin/quorvex "$root/window.files" || fail "window lacks the program"
[ -z "$(sort "$root/convert.files" "$root/window.files" | uniq -d)" ] ||
    fail "files in both components"
DESTDIR="$root/all" cmake --install "$build" --prefix /usr >/dev/null 2>&1
[ "$(cat "$root/convert.files" "$root/window.files" | sort)" = \
  "$(cd "$root/all" && find . -type f | sort)" ] ||
    fail "the components do not add up to the whole install"
"$root/convert/usr/bin/quorvex-convert" --info "$source/examples/town.mif" >/dev/null ||
    fail "the command line alone cannot describe the example"

[ "$failures" -eq 0 ] && echo "install checks passed"
exit $((failures > 0))
