#!/usr/bin/env bash
# The Windows installer, built from the build's programs as the package
# target builds it:
#   msi_test.sh tables BUILD_DIR SOURCE_DIR  its tables (msiinfo): scopes,
#       upgrade, shortcut, file type, PATH feature, the version's mapping
#   msi_test.sh sign BUILD_DIR SOURCE_DIR    signed with a throw-away
#       self-signed certificate, checked by osslsigncode verify
#   msi_test.sh wine BUILD_DIR SOURCE_DIR    installed per user under Wine,
#       in a prefix of its own: files, shortcut, uninstall entry, file type
#       and the installed converter; uninstalled: nothing of it left
set -u  # no pipefail: grep -q may end a pipe before its writer
mode=$1
build=$(cd "$2" && pwd)
source=$(cd "$3" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
version=$(sed -n 's/^project(QuorvexConverter VERSION \([0-9.]*\) .*/\1/p' "$source/CMakeLists.txt")

# The folder the zip packs, from the build's programs.
stage=$work/stage
mkdir -p "$stage"
for f in "$build/bin/quorvex.exe" "$build/bin/quorvex-convert.exe" "$build/bin/quorvex.chm" \
         "$build/package/README-ja.txt" "$source/LICENSE"; do
    cp "$f" "$stage/" || { echo "FAIL: missing $f"; exit 1; }
done
msi=$work/QuorvexConverter-$version-x64.msi
bash "$source/packaging/windows/build-msi.sh" "$stage" "$version" "$msi" >"$work/build.log" 2>&1 ||
    { cat "$work/build.log"; echo "FAIL: build-msi.sh"; exit 1; }

# Rows of table $1 (tab-separated, without the three heading lines).
rows() {
    [ -f "$work/table.$1" ] || msiinfo export "$msi" "$1" | tail -n +4 | tr -d '\r' >"$work/table.$1"
    cat "$work/table.$1"
}
has_row() {  # table, extended regular expression over one row
    rows "$1" | grep -qE "$2" || fail "$1 has no row matching: $2"
}

case $mode in
tables)
    IFS=. read -r major minor patch tweak <<<"$version"
    has_row Property "^ProductVersion	$major\.$minor\.$((patch * 1000 + tweak))$"
    has_row Property "^UpgradeCode	\{6F1C2B8E-3A5D-4E7F-9B21-4C8D0E5A7F13\}$"
    has_row Property "^Manufacturer	The Quorvex Converter authors$"
    has_row Property "^ARPPRODUCTICON	quorvex.ico$"
    # Per user unless asked: no ALLUSERS in the package, and the summary's
    # word count says it needs no elevation (8) and is compressed (2).
    rows Property | grep -q "^ALLUSERS	" && fail "the package sets ALLUSERS"
    msiinfo suminfo "$msi" | grep -q "^Source: 10 " || fail "word count is not 10 (per user)"
    has_row Directory "^INSTALLDIR	UserProgramsFolder	Quorvex Converter$"
    has_row Directory "^UserProgramsFolder	LocalAppDataFolder	Programs$"
    # The per-machine form: ALLUSERS=1 moves the folder to Program Files
    # before it is resolved, and every key then goes to HKLM (root -1
    # follows the scope).
    has_row CustomAction "^SetMachineInstallDir	(51|2099)	INSTALLDIR	\[ProgramFiles64Folder\]Quorvex Converter\\\\	"
    has_row InstallExecuteSequence "^SetMachineInstallDir	ALLUSERS=1	"
    has_row InstallUISequence "^SetMachineInstallDir	ALLUSERS=1	"
    [ "$(rows Registry | cut -f2 | sort -u)" = "-1" ] || fail "registry roots other than -1"
    # A newer version replaces this one, this one refuses to replace a newer.
    has_row Upgrade "^\{6F1C2B8E-3A5D-4E7F-9B21-4C8D0E5A7F13\}		$major\.$minor\.[0-9]+		1		WIX_UPGRADE_DETECTED$"
    has_row Upgrade "^\{6F1C2B8E-3A5D-4E7F-9B21-4C8D0E5A7F13\}	$major\.$minor\.[0-9]+			2		WIX_DOWNGRADE_DETECTED$"
    has_row LaunchCondition "^NOT WIX_DOWNGRADE_DETECTED	"
    has_row InstallExecuteSequence "^RemoveExistingProducts	"
    # Both programs beside each other, and the help.
    has_row File "	quorvex.exe	"
    has_row File "	quorvex-convert.exe	"
    has_row File "	quorvex.chm	"
    has_row Shortcut "^StartMenuShortcut	ProgramMenuFolder	Quorvex Converter	StartMenu	\[INSTALLDIR\]quorvex.exe	"
    # The file type: an "Open with" choice, the default left alone.
    has_row Registry "	-1	Software\\\\Classes\\\\\.mif\\\\OpenWithProgids	Quorvex.MifFile		"
    rows Registry | grep -qE "	Software\\\\Classes\\\\\.mif\\\\?		" && fail "the default of .mif is taken"
    has_row Registry "	Software\\\\Classes\\\\Quorvex.MifFile\\\\shell\\\\open\\\\?	MultiSelectModel	Player	"
    has_row Registry "	Software\\\\Classes\\\\Quorvex.MifFile\\\\shell\\\\open\\\\command\\\\?		\"\[INSTALLDIR\]quorvex.exe\" \"%1\"	"
    has_row Registry "	Software\\\\Classes\\\\Quorvex.MifFile\\\\DefaultIcon\\\\?		\"\[INSTALLDIR\]quorvex.exe\",0	"
    has_row Registry "	Software\\\\Quorvex\\\\Quorvex Converter\\\\?	InstallDir	\[INSTALLDIR\]	"
    # PATH only when asked for, in the scope of the installation.
    has_row Feature "^AddToPath		.*	1000		0$"
    has_row Condition "^AddToPath	1	ADDTOPATH$"
    has_row Environment "^PathUser	=-Path	\[~\];\[INSTALLDIR\]	PathUser$"
    has_row Environment "^PathMachine	=-\*Path	\[~\];\[INSTALLDIR\]	PathMachine$"
    has_row Component "^PathUser	.*	NOT ALLUSERS	"
    has_row Component "^PathMachine	.*	ALLUSERS	"
    has_row InstallExecuteSequence "^WriteEnvironmentStrings	"
    has_row InstallExecuteSequence "^RemoveEnvironmentStrings	"

    # The installer's version keeps the order of the program's versions.
    for v in "2.0.1.5:2.0.1005" "2.1.0.0:2.1.0" "2.0.65.535:2.0.65535" "3.0.0:3.0.0"; do
        got=$(bash "$source/packaging/windows/build-msi.sh" --product-version "${v%%:*}" 2>&1)
        [ "$got" = "${v#*:}" ] || fail "${v%%:*} is '$got', not ${v#*:}"
    done
    for v in 2.0.66.0 2.0.0.1000 2.0 2.0.0.x 2.0.0.1.2 256.0.0.0; do
        bash "$source/packaging/windows/build-msi.sh" --product-version "$v" >/dev/null 2>&1 &&
            fail "build-msi.sh took version $v"
    done
    ;;

sign)
    # A throw-away certificate for code signing, made here.
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quorvex Test Signer" \
        -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" \
        >/dev/null 2>&1 || { echo "FAIL: openssl req"; exit 1; }
    openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.pfx" \
        -passout pass:test-password >/dev/null 2>&1 || { echo "FAIL: openssl pkcs12"; exit 1; }
    # The build's programs are signed already after build-windows.sh --sign.
    for f in quorvex.exe quorvex-convert.exe; do
        osslsigncode remove-signature -in "$stage/$f" -out "$work/$f" >/dev/null 2>&1 ||
            cp "$stage/$f" "$work/$f"
    done
    files=("$work/quorvex.exe" "$work/quorvex-convert.exe" "$msi")
    for f in "${files[@]}"; do
        osslsigncode verify -in "$f" 2>&1 | grep -q "Unable to extract existing signature" ||
            fail "$(basename "$f") is signed before signing"
    done
    cp "$work/quorvex.exe" "$work/unsigned.exe"
    QUORVEX_SIGN_PASSWORD=wrong bash "$source/packaging/windows/sign.sh" "$work/cert.pfx" \
        "$work/quorvex.exe" >/dev/null 2>&1 && fail "signed with a wrong password"
    cmp -s "$work/quorvex.exe" "$work/unsigned.exe" || fail "a failed signing changed the file"
    QUORVEX_SIGN_PASSWORD=test-password bash "$source/packaging/windows/sign.sh" "$work/cert.pfx" \
        "${files[@]}" >"$work/sign.log" 2>&1 || { cat "$work/sign.log"; fail "sign.sh"; }
    for f in "${files[@]}"; do
        osslsigncode verify -CAfile "$work/cert.pem" -in "$f" >"$work/verify.log" 2>&1 ||
            { cat "$work/verify.log"; fail "$(basename "$f") does not verify"; }
        grep -q "Quorvex Test Signer" "$work/verify.log" || fail "$(basename "$f"): signer not named"
    done
    # A certificate without a password, as a build machine may keep one.
    openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/open.pfx" \
        -passout pass: >/dev/null 2>&1 || fail "openssl pkcs12 without a password"
    cp "$stage/quorvex-convert.exe" "$work/open.exe"
    env -u QUORVEX_SIGN_PASSWORD bash "$source/packaging/windows/sign.sh" "$work/open.pfx" \
        "$work/open.exe" >/dev/null 2>&1 || fail "sign.sh with a certificate without a password"
    osslsigncode verify -CAfile "$work/cert.pem" -in "$work/open.exe" >/dev/null 2>&1 ||
        fail "signed without a password: does not verify"
    # The signed installer is still a sound database with its files.
    msiinfo export "$msi" File | grep -q "quorvex-convert.exe" || fail "signed msi unreadable"
    ;;

wine)
    start=$SECONDS
    prefix=$build/msi-wine-prefix
    export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
    # No menu entries on the host, no Mono or Gecko dialogs.
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
    QUORVEX_WINEPREFIX=$prefix bash "$source/scripts/wine-run.sh" --boot-only
    wineserver -w
    [ -d "$prefix/drive_c/users" ] || { echo "FAIL: no Wine prefix $prefix"; exit 1; }
    user=$(ls "$prefix/drive_c/users" | grep -vx Public | head -n 1)
    home=$prefix/drive_c/users/$user
    # Everything of the prefix a user could find: files, folders, keys. Wine
    # rewrites keys of its own (Software\Wine, the network cards) on its own.
    snapshot() {
        wineserver -w
        (cd "$prefix/drive_c" && find . -print | LC_ALL=C sort) >"$1.files"
        cat "$prefix/user.reg" "$prefix/system.reg" | grep '^\[' | sed 's/\] [0-9]*$/]/' |
            grep -vE '^\[Software\\\\Wine' | LC_ALL=C sort -u >"$1.keys"
    }
    # What an uninstallation may leave: the installer's own empty cache
    # folders and the parent keys of its product records, which Windows
    # keeps too; never a record of this product (those carry its codes).
    installer_own='^(\./windows/Installer|\./users/[^/]+/AppData/Roaming/Microsoft/Installer)$'
    installer_own+='|^\[Software\\\\Microsoft\\\\Installer\\\\(Features|Products|UpgradeCodes)\]$'
    installer_own+='|^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Installer\\\\'
    installer_own+='(UpgradeCodes|UserData\\\\S-[0-9-]+\\\\(Components|Products))\]$'
    snapshot "$work/before"
    msi_win="Z:${msi//\//\\}"
    wine msiexec /i "$msi_win" /qn </dev/null >"$work/install.log" 2>&1 ||
        { cat "$work/install.log"; fail "msiexec /i"; }
    wineserver -w
    dir=$home/AppData/Local/Programs/Quorvex\ Converter
    for f in quorvex.exe quorvex-convert.exe quorvex.chm README-ja.txt LICENSE; do
        cmp -s "$dir/$f" "$stage/$f" || fail "not installed as packed: $f"
    done
    find "$home" -iname 'Quorvex Converter.lnk' -path '*Start Menu/Programs/*' | grep -q . ||
        fail "no Start-menu shortcut"
    # The registry as Wine saved it (one start of wine per query would cost
    # seconds each): value NAME ("@" the default) of KEY in user.reg (HKCU)
    # or system.reg (HKLM), KEY written as in the file.
    regval() {  # file key name; the key's "\" doubled as in the file
        KEY="[$2]" NAME=$3 awk '
            BEGIN { key = ENVIRON["KEY"]; name = ENVIRON["NAME"] }
            /^\[/ { inkey = substr($0, 1, length(key)) == key &&
                            (length($0) == length(key) || substr($0, length(key) + 1, 1) == " ") }
            inkey && name == "@" && /^@=/ { print substr($0, 3); found = 1 }
            inkey && index($0, "\"" name "\"=") == 1 { print substr($0, length(name) + 4); found = 1 }
            END { exit !found }' "$prefix/$1"
    }
    code=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^ProductCode	//p')
    arp='Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\'$code
    # Wine keeps the uninstall entries of every scope in HKLM.
    reg=system.reg
    regval user.reg "$arp" DisplayName >/dev/null && reg=user.reg
    regval $reg "$arp" DisplayName | grep -q '"Quorvex Converter"' || fail "no uninstall entry"
    regval $reg "$arp" DisplayVersion | grep -qE '"[0-9]+\.[0-9]+\.[0-9]+"' ||
        fail "uninstall entry without version"
    regval $reg "$arp" Publisher | grep -q '"The Quorvex Converter authors"' || fail "no publisher"
    # The entry's icon (ARPPRODUCTICON, checked with the tables) becomes
    # DisplayIcon on Windows; Wine's installer does not write that value.
    progid='Software\\Classes\\Quorvex.MifFile\\shell\\open'
    regval user.reg "$progid" MultiSelectModel | grep -q '"Player"' ||
        fail "no ProgId Quorvex.MifFile in the user's classes"
    regval user.reg "$progid"'\\command' @ |
        grep -qF 'Programs\\Quorvex Converter\\quorvex.exe\" \"%1\"' || fail "no open command"
    regval user.reg 'Software\\Classes\\.mif\\OpenWithProgids' Quorvex.MifFile >/dev/null ||
        fail ".mif does not offer Quorvex.MifFile"
    regval user.reg 'Software\\Classes\\.mif' @ >/dev/null && fail "the default of .mif is taken"
    regval user.reg 'Software\\Quorvex\\Quorvex Converter' InstallDir |
        grep -qiF 'Programs\\Quorvex Converter\\"' || fail "the installation folder is not registered"
    regval system.reg 'Software\\Quorvex\\Quorvex Converter' InstallDir >/dev/null &&
        fail "a per-user installation wrote to HKLM"
    out=$(cd "$dir" && wine "$dir/quorvex-convert.exe" --version </dev/null 2>&1 | tr -d '\r')
    grep -q "$version" <<<"$out" || fail "installed quorvex-convert.exe --version: $out"

    wine msiexec /x "$msi_win" /qn </dev/null >"$work/uninstall.log" 2>&1 ||
        { cat "$work/uninstall.log"; fail "msiexec /x"; }
    snapshot "$work/after"
    for kind in files keys; do
        LC_ALL=C comm -13 "$work/before.$kind" "$work/after.$kind" | grep -vE "$installer_own" \
            >"$work/left.$kind"
        [ -s "$work/left.$kind" ] && { cat "$work/left.$kind"; fail "$kind left by the uninstallation"; }
    done
    echo "install, check and uninstall under Wine: $((SECONDS - start)) s"
    ;;
*)
    echo "usage: msi_test.sh tables|sign|wine BUILD_DIR SOURCE_DIR" >&2
    exit 2
    ;;
esac
[ "$failures" -eq 0 ] && echo "PASS: msi $mode" && exit 0
echo "$failures failure(s)"
exit 1
