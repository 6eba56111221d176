#!/usr/bin/env bash
# Builds the reader fuzzers (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and the seed writer into DIRECTORY
# (default build-fuzz/ at the top of the repository). No OpenGL is needed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/build-fuzz}"
mkdir -p "$out"
cxx="${CLANGXX:-clang++}"
flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer -ffp-contract=off -I"$root")
sanitize=(-fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
readers=("$root/render/ImageLoad.cpp" "$root/render/PixelConvert.cpp" "$root/render/FileSource.cpp")

build() { # output, sources...
    local target="$1"
    shift
    # Rebuild only when a source is newer than the binary.
    if [[ -x "$target" ]]; then
        local stale=0 file
        for file in "$@" "$root"/render/*.h "$root"/fuzz/*.h "$root"/tests/support/Texture*.h; do
            [[ "$file" -nt "$target" ]] && stale=1 && break
        done
        ((stale)) || return 0
    fi
    "$cxx" "${flags[@]}" "$@" -o "$target"
}

build "$out/bmp_fuzzer" "${sanitize[@]}" "$root/fuzz/bmp_fuzzer.cpp" "$root/render/BmpReader.cpp" "${readers[@]}"
build "$out/sgi_fuzzer" "${sanitize[@]}" "$root/fuzz/sgi_fuzzer.cpp" "$root/render/SgiReader.cpp" "${readers[@]}"
build "$out/make_seeds" "$root/fuzz/make_seeds.cpp"
