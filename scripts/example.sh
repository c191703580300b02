#!/usr/bin/env bash
# Builds the command-line converter with its documentation and converts the
# bundled example.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEX_BUILD_UI=OFF \
      -DQUORVEX_BUILD_TESTS=OFF >/dev/null
# The manual pages, completion and changelog too, so that `cmake --install
# build` works after this script.
cmake --build build --target quorvex-convert quorvex_compressed_docs

out=build/example/town.sim
mkdir -p build/example
./build/bin/quorvex-convert --attr CHIBAN --genba "北地区" examples/town.mif "$out"
echo
echo "Converted examples/town.mif into $out ($(wc -l <"$out") lines). Its beginning, shown as UTF-8:"
iconv -f CP932 -t UTF-8 "$out" | head -n 20
