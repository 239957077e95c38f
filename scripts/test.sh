#!/usr/bin/env bash
# Sets up, builds and runs every test: the normal build, then the engine, messaging
# and viewer tests again under AddressSanitizer and UndefinedBehaviorSanitizer (the
# data side's getters, the tool, damaged stores through it, the window's widgets),
# all but those that need the web engine, which does not run under the sanitizers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

werror=OFF
[ "${CI:-}" = "true" ] && werror=ON

"$root/scripts/build.sh" "$root/build" -DVELMORA_WERROR=$werror
(cd "$root/build" && ctest --output-on-failure --timeout 600 -j "$(nproc)")

"$root/scripts/build.sh" "$root/build-asan" -DVELMORA_WERROR=$werror -DVELMORA_SANITIZE=ON
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --output-on-failure --timeout 900 -j "$(nproc)" -L "engine|messaging|viewer" -LE webview)

# A short fuzz run, about two minutes in all: every libFuzzer target, built with
# clang, on its seed corpus alone. A crash, sanitizer report, timeout or
# over-large allocation fails the test command; the input is left in
# build-fuzz-check/fuzz-findings/.
VELMORA_FUZZ_BUILD="$root/build-fuzz-check" VELMORA_FUZZ_FRESH=1 "$root/scripts/fuzz.sh" --total-seconds 120
