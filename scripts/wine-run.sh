#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of its own:
#   wine-run.sh PROGRAM.exe ARGS...
#   wine-run.sh --boot-only        (only create the prefix)
# The prefix is $QUORVEX_WINEPREFIX, else wine-prefix/ in the folder above the
# program's bin/ (the build folder); never the user's ~/.wine. It is created
# (wineboot) once, under a lock, so tests run in parallel share it.
# QUORVEX_WINE_CODEPAGE=932 runs the program under a Japanese system locale
# (ANSI code page 932); the default is an English one (code page 1252).
set -euo pipefail
exe=$1
shift
if [ "$exe" = --boot-only ] && [ -z "${QUORVEX_WINEPREFIX:-}" ]; then
    echo "wine-run.sh: --boot-only needs QUORVEX_WINEPREFIX" >&2
    exit 2
fi
if [ -z "${QUORVEX_WINEPREFIX:-}" ]; then
    bindir=$(cd "$(dirname "$exe")" && pwd)
    QUORVEX_WINEPREFIX=$(dirname "$bindir")/wine-prefix
fi
export WINEPREFIX=$QUORVEX_WINEPREFIX
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs, no desktop integration.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
# Wine takes the system locale from these names even where the host has no
# such locale installed; host file names stay UTF-8 either way.
case "${QUORVEX_WINE_CODEPAGE:-1252}" in
    932) locale=ja_JP.UTF-8 ;;
    *) locale=en_US.UTF-8 ;;
esac
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            env LANG=$locale LC_ALL=$locale wineboot -i </dev/null >/dev/null 2>&1 || true
            wineserver -w || true
        fi
    ) 9>"$WINEPREFIX.lock"
fi
[ "$exe" = --boot-only ] && exit 0
# The program's output goes through files: the Wine server and its helper
# processes, started by this run and outliving it, would otherwise hold the
# caller's pipe open, and a caller reading to its end would wait for them.
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
status=0
env LANG=$locale LC_ALL=$locale wine "$exe" "$@" >"$out" 2>"$err" || status=$?
cat "$out"
cat "$err" >&2
exit $status
