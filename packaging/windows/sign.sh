#!/usr/bin/env bash
# Signs Windows programs and installers in place with Authenticode:
#   sign.sh CERT.pfx FILE...
# The certificate's password comes from $QUORVEX_SIGN_PASSWORD (empty when
# unset); $QUORVEX_SIGN_TIMESTAMP names an RFC 3161 time-stamp server, so the
# signature outlives the certificate (none by default: it needs the network).
set -euo pipefail
if [ $# -lt 2 ]; then
    echo "usage: sign.sh CERT.pfx FILE..." >&2
    exit 2
fi
cert=$1
shift
if [ ! -f "$cert" ]; then
    echo "sign.sh: no certificate $cert" >&2
    exit 1
fi
timestamp=()
if [ -n "${QUORVEX_SIGN_TIMESTAMP:-}" ]; then
    timestamp=(-ts "$QUORVEX_SIGN_TIMESTAMP")
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# A password goes through a file, not the command line others can read;
# osslsigncode reads no empty one from a file.
password=(-pass "")
if [ -n "${QUORVEX_SIGN_PASSWORD:-}" ]; then
    (umask 077 && printf '%s' "$QUORVEX_SIGN_PASSWORD" >"$tmp/pass")
    password=(-readpass "$tmp/pass")
fi
for f in "$@"; do
    # A signed copy replaces the file only once it is complete.
    rm -f "$tmp/signed"
    osslsigncode sign -pkcs12 "$cert" "${password[@]}" -h sha256 \
        -n "Quorvex Converter" -i "${QUORVEX_HELP_LINK:-https://quorvex.example/}" \
        "${timestamp[@]}" -in "$f" -out "$tmp/signed" >/dev/null
    mv "$tmp/signed" "$f"
    echo "Signed $f"
done
