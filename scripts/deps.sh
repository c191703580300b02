# Installs the Debian packages named as arguments that are not installed yet.
# Sourced by the other scripts; needs root (or sudo) only when something is missing.
install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

BUILD_PACKAGES=(g++ cmake ninja-build)
TEST_PACKAGES=(libgtest-dev qt6-base-dev libgl-dev fonts-noto-cjk libclang-common-14-dev
               qt6-translations-l10n xvfb xauth openbox clang-format)
# scripts/fuzz.sh: clang with libFuzzer.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The Windows build (MinGW-w64) and its tests under Wine.
# wixl and msibuild (msitools) build the installer; osslsigncode signs.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix zip fp-utils wixl msitools)
WINDOWS_TEST_PACKAGES=(googletest wine wine64 xvfb xauth fonts-noto-cjk osslsigncode openssl)
WINDOWS_TEST_PACKAGES+=(locales)

# Generates the named UTF-8 locales (ja_JP.UTF-8 …) that are missing. Wine
# names host files in the host locale's character set: without a UTF-8
# locale of that name, non-ASCII file names cannot be created under Wine.
ensure_locales() {
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    for l in "$@"; do
        locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}" && continue
        $sudo localedef -i "${l%%.*}" -c -f UTF-8 "$l"
    done
}
# The Debian package: the window's build, shlibdeps and its file type probe.
PACKAGE_PACKAGES=(qt6-base-dev libgl-dev dpkg-dev file)
# The installation checks of the test suite.
INSTALL_TEST_PACKAGES=(desktop-file-utils appstream shared-mime-info man-db)
