#!/usr/bin/env bash
# Usage: tools/fuzz.sh [seconds [build-dir]]
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-dir (default build/fuzz) and runs them:
# first every BMP suite file once, then the BMP decoder for the given number of
# seconds (default 60) and the integer conversion for a few. The working corpus
# lives in build-dir/corpus, seeded from tests/data/bmpsuite, and grows from run to
# run. Exits non-zero on any finding (crash, sanitizer report, broken invariant,
# timeout, out of memory); the input that caused it is left in build-dir/artifacts.
set -euo pipefail

seconds=${1:-60}
intSeconds=${TOMARIN_FUZZ_INT_SECONDS:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "${2:-$root/build/fuzz}" && cd "${2:-$root/build/fuzz}" && pwd)
suite=$root/tests/data/bmpsuite

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DTOMARIN_FUZZ=ON -DTOMARIN_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target BmpDecoderFuzz StrToIntFuzz >/dev/null

corpus=$build/corpus
artifacts=$build/artifacts
mkdir -p "$corpus/bmp" "$corpus/strtoint" "$artifacts"
for file in "$suite"/*/*.bmp; do
    folder=$(basename "$(dirname "$file")")
    cp -n "$file" "$corpus/bmp/$folder-$(basename "$file")"
done
# A few integer texts to start from: a range edge, a prefix with a sign, zeros.
printf '%s' '-2147483648' >"$corpus/strtoint/min"
printf '%s' '  +$7fffffff' >"$corpus/strtoint/hex"
printf '%s' '0X00000000ff' >"$corpus/strtoint/zeros"

# Shared options: a memory ceiling that still lets the largest picture (16384 x
# 16384 run-length data) be decoded, and a time limit per input. The decoder's
# inputs may be as long as the largest suite file.
common=(-rss_limit_mb=2560 -timeout=30 -print_final_stats=1 "-artifact_prefix=$artifacts/")

finding() {
    echo "fuzz: $1 found a problem; the input is in $artifacts" >&2
    exit 1
}

echo "fuzz: every suite file once under the sanitizers"
"$build/bin/BmpDecoderFuzz" "${common[@]}" "$suite"/*/*.bmp >"$build/suite.log" 2>&1 ||
    { tail -n 40 "$build/suite.log" >&2; finding "the BMP suite"; }

"$build/bin/BmpDecoderFuzz" "${common[@]}" -max_len=65536 -max_total_time="$seconds" \
    "$corpus/bmp" >"$build/bmp.log" 2>&1 ||
    { tail -n 60 "$build/bmp.log" >&2; finding BmpDecoderFuzz; }
executed() { sed -n 's/^stat::number_of_executed_units: *//p' "$1"; }
echo "fuzz: BmpDecoderFuzz $seconds s, $(executed "$build/bmp.log") inputs"

"$build/bin/StrToIntFuzz" "${common[@]}" -max_len=64 -max_total_time="$intSeconds" \
    "$corpus/strtoint" >"$build/strtoint.log" 2>&1 ||
    { tail -n 60 "$build/strtoint.log" >&2; finding StrToIntFuzz; }
echo "fuzz: StrToIntFuzz $intSeconds s, $(executed "$build/strtoint.log") inputs"
echo "fuzz: no findings"
