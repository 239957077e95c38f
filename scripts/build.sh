#!/usr/bin/env bash
# Configures one build tree when needed and builds the targets named (all when
# none are). Usage: build.sh [--sanitize] DIR [TARGET...]
#
#   (default)   GCC, optimised, line tables only, unity batches: the programs
#               and every test.
#   --sanitize  clang with AddressSanitizer, UndefinedBehaviorSanitizer and the
#               fuzzer's coverage: the sanitizer suites and the fuzz targets.
#
# The tree is configured only when it is new or was configured with other
# arguments; ninja re-runs cmake by itself when a CMakeLists.txt changes, so a
# build with nothing changed costs a second. Warnings are errors when CI=true.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

kind=normal
if [ "${1:-}" = "--sanitize" ]; then
    kind=sanitize
    shift
fi
[ $# -ge 1 ] || { echo "usage: $0 [--sanitize] DIR [TARGET...]" >&2; exit 2; }
dir=$1
shift

werror=OFF
[ "${CI:-}" = "true" ] && werror=ON

# Nothing reads more debug information than line tables (stack traces from a
# crash or a sanitizer report); full -g more than doubles what the compiler and
# the linker write.
args=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=$werror)
if [ $kind = sanitize ]; then
    # -O1 is what the sanitizers are meant to run at: their reports stay exact
    # and the build takes half the time of -O2.
    export CC=clang CXX=clang++
    args+=(-DVELMORA_FUZZ=ON
        "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")
else
    # GCC spends most of a compile parsing headers (Qt, GoogleTest, the
    # standard library) and gains little from precompiled ones; a unity build
    # parses them once for up to sixteen files of a target. The sanitizer tree
    # keeps one file per compile, which also checks that each file includes
    # what it uses.
    args+=("-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
        -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16)
fi

stamp=$dir/.velmora-configured-with
if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null)" != "${args[*]}" ]; then
    rm -f "$stamp"
    cmake -S "$root" -B "$dir" "${args[@]}" >/dev/null
    echo "${args[*]}" >"$stamp"
fi
targets=()
[ $# -gt 0 ] && targets=(--target "$@")
cmake --build "$dir" --parallel "$(nproc)" "${targets[@]}"
