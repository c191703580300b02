#!/usr/bin/env bash
# Builds the Windows installer from a folder holding the programs and their
# files (the portable zip's folder):
#   build-msi.sh STAGE_DIR VERSION OUT.msi
#   build-msi.sh --product-version VERSION   (prints the installer's version)
# VERSION is the program's version (2.0.0.77; a missing fourth field is 0).
# Windows Installer compares only three fields, the third at most 65535, so a.b.c.d becomes
# a.b.(c*1000+d): 2.0.0.77 is 2.0.77 and 2.0.1.0 is 2.0.1000, and every
# later build upgrades an earlier one.
# wixl (msitools 0.101) lacks parts of the WiX language; msibuild then adds
# to the database what it left out (see below).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -eq 2 ] && [ "$1" = --product-version ]; then
    set -- "" "$2" ""
elif [ $# -ne 3 ]; then
    echo "usage: build-msi.sh STAGE_DIR VERSION OUT.msi" >&2
    exit 2
fi
stage=$1
version=$2
out=$3

IFS=. read -r major minor patch tweak rest <<<"$version"
tweak=${tweak:-0}
for f in "$major" "$minor" "$patch" "$tweak"; do
    if ! [[ $f =~ ^[0-9]+$ ]]; then
        echo "build-msi.sh: version $version is not four numbers" >&2
        exit 2
    fi
done
if [ -n "${rest:-}" ] || [ "$major" -gt 255 ] || [ "$minor" -gt 255 ] || [ "$tweak" -gt 999 ] ||
    [ $((patch * 1000 + tweak)) -gt 65535 ]; then
    echo "build-msi.sh: version $version does not fit an installer version" >&2
    exit 2
fi
product_version=$major.$minor.$((patch * 1000 + tweak))
if [ -z "$out" ]; then
    echo "$product_version"
    exit 0
fi

for f in quorvex.exe quorvex-convert.exe quorvex.chm README-ja.txt LICENSE; do
    if [ ! -f "$stage/$f" ]; then
        echo "build-msi.sh: $stage/$f is missing" >&2
        exit 1
    fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# wixl takes source paths relative to the working folder only.
ln -s "$(cd "$stage" && pwd)" "$tmp/files"
cp "$here/../../src/ui/win32/quorvex.ico" "$tmp/quorvex.ico"
(cd "$tmp" && wixl -a x64 -D Version="$product_version" -D FullVersion="$version" \
     -D SourceDir=files -D Icon=quorvex.ico \
     -D HelpLink="${QUORVEX_HELP_LINK:-https://quorvex.example/}" \
     -o quorvex.msi "$here/quorvex.wxs")

# What wixl cannot say:
# - Root="HKMU" comes out as root 4, which Windows Installer does not know;
#   -1 is the root that follows the installation's scope (HKCU per user,
#   HKLM per machine).
# - No Environment element: the PATH entry's rows, appended to the user's
#   PATH per user and to the machine's per machine, and removed again on
#   uninstall ("=-" create or append, remove on uninstall; "*" the machine's).
# - No Condition inside Component or Feature: the two PATH components
#   follow the installation's scope, and ADDTOPATH=1 turns the optional
#   feature on.
# One run of msibuild: each run commits the whole database again.
msibuild "$tmp/quorvex.msi" \
    -q "UPDATE \`Registry\` SET \`Root\` = -1 WHERE \`Root\` = 4" \
    -q "CREATE TABLE \`Environment\` (\`Environment\` CHAR(72) NOT NULL,
    \`Name\` CHAR(255) NOT NULL LOCALIZABLE, \`Value\` CHAR(255) LOCALIZABLE,
    \`Component_\` CHAR(72) NOT NULL PRIMARY KEY \`Environment\`)" \
    -q "INSERT INTO \`Environment\` (\`Environment\`, \`Name\`, \`Value\`, \`Component_\`)
    VALUES ('PathUser', '=-Path', '[~];[INSTALLDIR]', 'PathUser')" \
    -q "INSERT INTO \`Environment\` (\`Environment\`, \`Name\`, \`Value\`, \`Component_\`)
    VALUES ('PathMachine', '=-*Path', '[~];[INSTALLDIR]', 'PathMachine')" \
    -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`)
    VALUES ('RemoveEnvironmentStrings', 3300)" \
    -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`)
    VALUES ('WriteEnvironmentStrings', 5200)" \
    -q "UPDATE \`Component\` SET \`Condition\` = 'NOT ALLUSERS'
    WHERE \`Component\` = 'PathUser'" \
    -q "UPDATE \`Component\` SET \`Condition\` = 'ALLUSERS'
    WHERE \`Component\` = 'PathMachine'" \
    -q "CREATE TABLE \`Condition\` (\`Feature_\` CHAR(38) NOT NULL,
    \`Level\` SHORT NOT NULL, \`Condition\` CHAR(255) PRIMARY KEY \`Feature_\`, \`Level\`)" \
    -q "INSERT INTO \`Condition\` (\`Feature_\`, \`Level\`, \`Condition\`)
    VALUES ('AddToPath', 1, 'ADDTOPATH')"

mkdir -p "$(dirname "$out")"
mv "$tmp/quorvex.msi" "$out"
echo "Built $out (ProductVersion $product_version)"
