#!/usr/bin/env bash
# Renews the pictures of docs/ that the README shows:
#   window.png           the Qt window on Linux, framed by openbox on Xvfb;
#   batch.png, batch-running.png, drop.png, file-dialog.png
#                        the Qt window's batch runs, a drop and a file dialog,
#                        saved by its tests (QUORVEX_SCREENSHOT_DIR);
#   window-windows.png   the Win32 window under Wine after a batch run, in a
#                        Wine desktop of its own (Wine draws the frame);
#   window-windows10.png the same with the frame metrics and title colours of
#                        Windows 10, set in Wine's registry.
# Usage:
#   bash scripts/screenshots.sh [--linux-only | --windows-only] [LINUX_BUILD [WINDOWS_BUILD]]
# The build folders (default build and build-windows) are used as they are
# when configured, else configured as scripts/check.sh and
# scripts/build-windows.sh --tests do; only the targets the pictures need
# are built. Wine runs in a copy of the build's prefix, so the registry
# changes never reach the tests. The pictures are reduced to a palette
# (pngquant) and compressed (optipng).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

linux=1
windows=1
case ${1:-} in
    --linux-only) windows=0; shift ;;
    --windows-only) linux=0; shift ;;
esac
lbuild=$(realpath -m "${1:-build}")
wbuild=$(realpath -m "${2:-build-windows}")
repo=$PWD

install_missing "${BUILD_PACKAGES[@]}" xvfb xauth imagemagick pngquant optipng
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# Saves picture $1 as docs/$2: at most 256 colours where that keeps it
# faithful (window pictures have few), then losslessly compressed.
publish() {
    local out=$work/publish.png
    [ -f "$1" ] || { echo "screenshots.sh: no picture $1 was saved" >&2; exit 1; }
    rm -f "$out"
    pngquant --quality=90-100 --speed 1 --strip --output "$out" -- "$1" 2>/dev/null ||
        convert "$1" -strip "$out"
    optipng -quiet -o5 "$out"
    cp "$out" "docs/$2"
    echo "docs/$2: $(stat -c %s "docs/$2") bytes"
}

if [ "$linux" = 1 ]; then
    install_missing "${TEST_PACKAGES[@]}" x11-utils
    if [ ! -f "$lbuild/build.ninja" ]; then
        cmake -S . -B "$lbuild" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEX_BUILD_UI=ON \
              -DQUORVEX_BUILD_TESTS=ON -DQUORVEX_SANITIZE=OFF "${launcher[@]}" >/dev/null
    fi
    cmake --build "$lbuild" --target quorvex batch_test about_help_test preview_window_test
    # The program runs from a copy, with a home of its own: its placement
    # file lies beside the executable, and neither may change for a picture.
    mkdir -p "$work/qt" "$work/home" "$work/bin"
    cp "$lbuild/bin/quorvex" "$lbuild"/bin/quorvex*.html "$lbuild"/bin/quorvex*.txt "$work/bin/"
    QT_QPA_PLATFORM=xcb QUORVEX_SCREENSHOT_DIR="$work/qt" WORK="$work" BUILD="$lbuild" \
        xvfb-run -a -s "-screen 0 1280x1024x24" sh -ec '
        openbox >/dev/null 2>&1 &
        sleep 1
        HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" LANG=ja_JP.UTF-8 \
            "$WORK/bin/quorvex" >/dev/null 2>&1 &
        program=$!
        for i in $(seq 100); do
            xwininfo -name "Quorvex Converter" >/dev/null 2>&1 && break
            sleep 0.2
        done
        sleep 2  # mapped, framed and painted
        import -window "Quorvex Converter" -frame "$WORK/qt/window.png"
        kill $program
        "$BUILD/bin/batch_test" --gtest_brief=1 \
            --gtest_filter="Batch.PerFileRunMarksEachRowAndEndsWithTheMessage:Batch.DroppedFiles*"
        "$BUILD/bin/about_help_test" --gtest_brief=1 --gtest_filter="QtTexts.*"
        "$BUILD/bin/preview_window_test" --gtest_brief=1 \
            --gtest_filter=PreviewWindow.OpensOnTheExampleFittedAndNamed'
    for name in window batch batch-running drop file-dialog preview; do
        publish "$work/qt/$name.png" "$name.png"
    done
fi

if [ "$windows" = 1 ]; then
    # fonts-wine: Marlett, whose glyphs are the caption buttons.
    install_missing "${WINDOWS_PACKAGES[@]}" "${WINDOWS_TEST_PACKAGES[@]}" fonts-wine
    ensure_locales ja_JP.UTF-8 en_US.UTF-8
    if [ ! -f "$wbuild/build.ninja" ]; then
        cmake -S . -B "$wbuild" -G Ninja -DCMAKE_BUILD_TYPE=Release \
              -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
              -DQUORVEX_BUILD_UI=OFF -DQUORVEX_BUILD_TESTS=ON "${launcher[@]}" >/dev/null
    fi
    cmake --build "$wbuild" --target frmmain_win32_test preview_win32_test
    prefix=$work/wine-prefix
    if [ -f "$wbuild/wine-prefix/system.reg" ]; then
        cp -a "$wbuild/wine-prefix" "$prefix"
    else
        QUORVEX_WINEPREFIX="$prefix" scripts/wine-run.sh --boot-only
    fi
    # A prefix made before fonts-wine was installed lacks Marlett.
    fonts=$prefix/drive_c/windows/Fonts
    [ -f "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
    export QUORVEX_WINEPREFIX=$prefix QUORVEX_WINE_CODEPAGE=932
    winpath() { local p=${1//\//\\}; echo "Z:$p"; }
    # The window after a two-row batch run, saved by the test as a BMP.
    shoot() {
        mkdir -p "$work/win32"
        QUORVEX_SCREENSHOT_DIR="$(winpath "$work/win32")" \
            xvfb-run -a -s "-screen 0 1024x768x24" \
            scripts/wine-run.sh explorer.exe /desktop=shot,1000x560 \
            "$(winpath "$wbuild/bin/frmmain_win32_test.exe")" \
            --gtest_filter=Win32Window.TwoRowBatchPerFileAndCombinedThenSavedAndLoaded \
            >"$work/win32.log" 2>&1 || { cat "$work/win32.log"; exit 1; }
        WINEPREFIX=$prefix wineserver -w
        [ -f "$work/win32/window-windows.bmp" ] ||
            { cat "$work/win32.log"; echo "screenshots.sh: the Win32 test saved no picture" >&2; exit 1; }
        convert "$work/win32/window-windows.bmp" "$work/win32/$1"
        rm "$work/win32/window-windows.bmp"
        publish "$work/win32/$1" "$1"
    }
    shoot window-windows.png

    # The preview of the example, a parcel chosen.
    QUORVEX_SCREENSHOT_DIR="$(winpath "$work/win32")" \
        xvfb-run -a -s "-screen 0 1024x768x24" \
        scripts/wine-run.sh explorer.exe /desktop=shot,1000x700 \
        "$(winpath "$wbuild/bin/preview_win32_test.exe")" \
        --gtest_filter=Win32Preview.ShowsAConvertedJobWithItsCoordinateSystem \
        >"$work/win32.log" 2>&1 || { cat "$work/win32.log"; exit 1; }
    WINEPREFIX=$prefix wineserver -w
    convert "$work/win32/preview-windows.bmp" "$work/win32/preview-windows.png"
    publish "$work/win32/preview-windows.png" preview-windows.png

    # Windows 10's frame: a 22-pixel caption, 1-pixel borders, 17-pixel
    # scroll bars, 19-pixel menus (sizes in twips, -15 a pixel); a white
    # title bar with black text and the blue selection.
    cat >"$work/windows10.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Control Panel\Desktop\WindowMetrics]
"BorderWidth"="-15"
"CaptionHeight"="-330"
"CaptionWidth"="-330"
"SmCaptionHeight"="-330"
"SmCaptionWidth"="-330"
"MenuHeight"="-285"
"MenuWidth"="-285"
"ScrollHeight"="-255"
"ScrollWidth"="-255"

[HKEY_CURRENT_USER\Control Panel\Colors]
"ActiveTitle"="255 255 255"
"GradientActiveTitle"="255 255 255"
"TitleText"="0 0 0"
"InactiveTitle"="255 255 255"
"GradientInactiveTitle"="255 255 255"
"InactiveTitleText"="153 153 153"
"ActiveBorder"="255 255 255"
"InactiveBorder"="255 255 255"
"ButtonFace"="240 240 240"
"Menu"="255 255 255"
"MenuBar"="255 255 255"
"Hilight"="0 120 215"
"MenuHilight"="0 120 215"
"HotTrackingColor"="0 102 204"
EOF
    scripts/wine-run.sh regedit.exe /S "$(winpath "$work/windows10.reg")"
    WINEPREFIX=$prefix wineserver -w
    shoot window-windows10.png
fi
