#!/usr/bin/env bash
# Runs the Win32 window's test under the window metrics of Windows 10, whose
# thicker frames and caption the design's outer size did not allow for:
#   thick_frames.sh WINE_RUN BASE_PREFIX PREFIX METRICS.reg TEST.exe ARGS...
# PREFIX is a copy of the build's Wine prefix BASE_PREFIX with METRICS.reg
# imported, made once (a copy costs seconds, a wineboot minutes), so the
# other tests keep the usual metrics.
set -euo pipefail
wine_run=$1 base=$2 prefix=$3 metrics=$4
shift 4
if [ ! -f "$prefix/metrics.done" ]; then
    QUORVEX_WINEPREFIX=$base "$wine_run" --boot-only
    (
        flock 9
        if [ ! -f "$prefix/metrics.done" ]; then
            rm -rf "$prefix"
            # The base prefix's server may be serving other tests meanwhile;
            # it replaces its registry files whole, so a copy is consistent.
            cp -a "$base" "$prefix"
            QUORVEX_WINEPREFIX=$prefix "$wine_run" reg import "Z:${metrics//\//\\}"
            WINEPREFIX=$prefix wineserver -w || true
            touch "$prefix/metrics.done"
        fi
    ) 9>"$prefix.lock"
fi
QUORVEX_WINEPREFIX=$prefix QUORVEX_THICK_FRAMES=1 "$wine_run" "$@"
