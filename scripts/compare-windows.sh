#!/usr/bin/env bash
# Converts the same inputs with the Linux and the Windows program (under
# Wine) and compares the SIMA files byte for byte:
#   compare-windows.sh LINUX_CLI WINDOWS_EXE [EXTERNAL_DATA_DIR]
# The bundled example with several settings, the tables GDAL wrote in several
# coordinate systems projected to plane rectangular zone IX (and as they
# stand), and every MIF file of the external folder, one by one and merged
# into one file. Both programs run the very same batch-list file, whose paths
# are relative, from folders of the same layout, so the list written on one
# system runs unchanged on the other.
set -euo pipefail
linux_cli=$(realpath "$1")
windows_exe=$(realpath "$2")
external=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Code page 932 bytes of the switch marks.
on=$'\x81\x9b'
off=$'\x81\x7e'
job() {  # attr mif sim parcels routes swap close [zone]
    local m=()
    for s in "$4" "$5" "$6" "$7"; do [ "$s" = 1 ] && m+=("$on") || m+=("$off"); done
    printf '"%s"\t"%s"\t"%s"\t""\t"%s"\t"%s"\t"%s"\t"%s"\t"%s"' \
        "$1" "$2" "$3" $'\x96\x6b\x92\x6e' "${m[0]}" "${m[1]}" "${m[2]}" "${m[3]}"
    [ -n "${8:-}" ] && printf '\t"%s"' "$8"
    printf '\r\n'
}
zones=(jgd2000 jgd2011 zone9 utm54 zone9km)

inputs=()
if [ -n "$external" ] && [ -d "$external" ]; then
    while IFS= read -r f; do inputs+=("ext/${f#"$external"/}"); done \
        < <(find "$external" -iname '*.mif' | LC_ALL=C sort)
fi

{
    printf 'Quorvex\r\n201\r\n0\r\n\r\n\r\n'
    job 1 town/town.mif out/t1.sim 1 1 1 0
    job 2 town/town.mif out/t2.sim 1 1 0 1
    job 3 town/town.mif out/t3.sim 1 0 1 0
    job 0 town/town.mif out/t4.sim 0 1 1 0
    for z in "${zones[@]}"; do
        job 1 "zones/$z.mif" "out/z9-$z.sim" 1 1 1 0 9
        job 1 "zones/$z.mif" "out/z0-$z.sim" 1 1 0 1
    done
    # A zone the tables lie far from: refused on both systems alike.
    job 1 zones/jgd2000.mif out/z1-far.sim 1 1 1 0 1
    i=0
    for f in "${inputs[@]}"; do
        i=$((i + 1))
        job 1 "$f" "out/e$i.sim" 1 1 1 0
    done
} > "$work/each.txt"
# The merge holds an input that fails after its first objects: both systems
# must leave all of it out.
{
    printf 'Quorvex\r\n200\r\n-1\r\nout/merged.sim\r\n%s\r\n' $'\x8b\xe6'
    job 1 town/town.mif "" 1 1 1 1
    job 1 town/bad.mif "" 1 1 1 1
    for f in "${inputs[@]}"; do job 1 "$f" "" 1 1 1 0; done
} > "$work/merged.txt"
# Every GDAL table merged into one file in zone IX.
{
    printf 'Quorvex\r\n201\r\n-1\r\nout/zmerged.sim\r\n%s\r\n' $'\x8b\xe6'
    for z in "${zones[@]}"; do job 1 "zones/$z.mif" "" 1 1 1 1 9; done
} > "$work/zmerged.txt"

for side in linux windows; do
    mkdir -p "$work/$side/town" "$work/$side/out" "$work/$side/zones"
    cp "$root"/tests/data/zones/ogr2ogr/*.mif "$root"/tests/data/zones/ogr2ogr/*.mid \
        "$work/$side/zones/"
    cp "$root/examples/town.mif" "$root/examples/town.mid" "$work/$side/town/"
    { cat "$root/examples/town.mif"; printf 'Line 0 0 x 1\r\n'; } > "$work/$side/town/bad.mif"
    { cat "$root/examples/town.mid"; printf '0\r\n'; } > "$work/$side/town/bad.mid"
    [ -n "$external" ] && ln -s "$external" "$work/$side/ext"
    cp "$work/each.txt" "$work/merged.txt" "$work/zmerged.txt" "$work/$side/"
done
(cd "$work/linux" && for list in each merged zmerged; do "$linux_cli" --batch $list.txt; done) \
    > "$work/linux.log" 2>&1 || true
(cd "$work/windows" && {
    for list in each merged zmerged; do "$here/wine-run.sh" "$windows_exe" --batch $list.txt; done
}) > "$work/windows.log" 2>&1 || true

same=0
differ=0
for f in $(cd "$work/linux/out" && ls) $(cd "$work/windows/out" && ls); do
    [ -e "$work/compared.$f" ] && continue
    touch "$work/compared.$f"
    if cmp -s "$work/linux/out/$f" "$work/windows/out/$f"; then
        same=$((same + 1))
    else
        differ=$((differ + 1))
        echo "DIFFERENT: $f" >&2
        cmp "$work/linux/out/$f" "$work/windows/out/$f" >&2 || true
    fi
done
# The same jobs fail on both systems.
failed_linux=$(grep -c '^failed' "$work/linux.log" || true)
failed_windows=$(grep -c '^failed' "$work/windows.log" || true)
echo "compared byte for byte: $same identical, $differ different;" \
     "failed jobs: Linux $failed_linux, Windows $failed_windows"
if [ "$differ" -ne 0 ] || [ "$failed_linux" != "$failed_windows" ] || [ "$same" -lt 16 ]; then
    echo "--- Linux" >&2; cat "$work/linux.log" >&2
    echo "--- Windows" >&2; cat "$work/windows.log" >&2
    exit 1
fi
