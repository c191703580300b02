#!/usr/bin/env bash
# Renews the pictures in docs/ (the window, batch runs, a drop, a file
# dialog): the window tests draw the real window on an X server (Xvfb, with
# openbox) and save it when QUORVEX_SCREENSHOT_DIR is set.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" xvfb xauth

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEX_BUILD_UI=ON \
      -DQUORVEX_BUILD_TESTS=ON -DQUORVEX_SANITIZE=OFF >/dev/null
cmake --build build --target main_window_test batch_test about_help_test preview_window_test
QT_QPA_PLATFORM=xcb QUORVEX_SCREENSHOT_DIR="$PWD/docs" xvfb-run -a -s "-screen 0 1024x768x24" \
    sh -c 'openbox >/dev/null 2>&1 & sleep 1
           build/bin/main_window_test --gtest_filter=MainWindowLayout.ControlsHaveTheirCaptionsAndStartStates &&
           build/bin/batch_test --gtest_filter="Batch.PerFileRunMarksEachRowAndEndsWithTheMessage:Batch.DroppedFiles*" &&
           build/bin/about_help_test --gtest_filter=QtTexts.* &&
           build/bin/preview_window_test --gtest_filter=PreviewWindow.OpensOnTheExampleFittedAndNamed'
echo "Saved docs/window.png, batch.png, batch-running.png, drop.png, file-dialog.png and preview.png"

# docs/window-windows.png: the Win32 window under Wine, Japanese locale, in a
# Wine desktop of its own (Wine draws the frame as Windows does).
bash scripts/build-windows.sh --tests
shots=$(mktemp -d)
QUORVEX_WINEPREFIX="$PWD/build-windows/wine-prefix" QUORVEX_WINE_CODEPAGE=932 \
    QUORVEX_SCREENSHOT_DIR="Z:${shots//\//\\}" xvfb-run -a -s "-screen 0 1024x768x24" \
    scripts/wine-run.sh explorer.exe /desktop=shot,1000x560 \
    "Z:${PWD//\//\\}\\build-windows\\bin\\frmmain_win32_test.exe" \
    --gtest_filter=Win32Window.TwoRowBatchPerFileAndCombinedThenSavedAndLoaded
convert "$shots/window-windows.bmp" docs/window-windows.png
rm -rf "$shots"
echo "Saved docs/window-windows.png"

# docs/preview-windows.png: the Win32 preview of the example, a parcel
# chosen, under Wine in the same way.
shots=$(mktemp -d)
QUORVEX_WINEPREFIX="$PWD/build-windows/wine-prefix" QUORVEX_WINE_CODEPAGE=932 \
    QUORVEX_SCREENSHOT_DIR="Z:${shots//\//\\}" xvfb-run -a -s "-screen 0 1024x768x24" \
    scripts/wine-run.sh explorer.exe /desktop=shot,1000x700 \
    "Z:${PWD//\//\\}\\build-windows\\bin\\preview_win32_test.exe" \
    --gtest_filter=Win32Preview.ShowsAConvertedJobWithItsCoordinateSystem
convert "$shots/preview-windows.bmp" docs/preview-windows.png
rm -rf "$shots"
echo "Saved docs/preview-windows.png"
