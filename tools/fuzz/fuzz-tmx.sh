#!/usr/bin/env bash
# Builds the TMX parser fuzzer with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs it for the given number of seconds
# (default 300) on a corpus seeded with the test maps. Not part of CI.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
seconds="${1:-300}"
out="$root/build-fuzz"

# clang and its libFuzzer runtime are only needed here, not by the build.
missing=()
for package in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -ne 0 ]; then
  apt=(apt-get)
  [ "$(id -u)" -ne 0 ] && apt=(sudo apt-get)
  DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
fi
mkdir -p "$out/corpus"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" "$root/tools/fuzz/TmxParser.fuzz.cpp" "$root/scene/TmxParser.cpp" "$root/scene/XmlNesting.cpp" \
  "$root/scene/TmxTileData.cpp" "$root/scene/TmxTilesetReader.cpp" "$root/scene/Paths.cpp" -lz -lzstd \
  -o "$out/fuzz_tmx"
cp "$root"/tests/scene/maps/*.tmx "$root"/tests/scene/maps/forms/*.tmx "$root"/tests/scene/maps/malformed/*.tmx \
  "$out/corpus/" 2>/dev/null || true
cd "$out"
./fuzz_tmx -max_total_time="$seconds" -max_len=65536 -dict="$root/tools/fuzz/tmx.dict" corpus
