#!/usr/bin/env bash
# Sets up, builds and runs every check, and ends with the time each stage took.
#
#   scripts/test.sh          every check, what CI runs: the normal build and all its tests
#                            (the layering check and the window tests under xvfb among
#                            them), then one clang build with AddressSanitizer,
#                            UndefinedBehaviorSanitizer and the fuzzer's coverage that
#                            runs the engine, messaging and viewer tests again (all but
#                            those that need the web engine, which does not run under the
#                            sanitizers) and a short fuzz run of every fuzz target
#   scripts/test.sh --quick  the normal build and its tests only, for the edit-test loop
#
# The sanitizer tree builds while the normal tests run, at a lower priority, so
# that it takes only the time the tests leave idle. Warnings are errors when CI=true.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quick=0
case "${1:-}" in
    --quick) quick=1 ;;
    "") ;;
    *) echo "usage: $0 [--quick]" >&2; exit 2 ;;
esac
jobs=$(nproc)

stage_names=()
stage_seconds=()
current_stage=
sanitizer_build_pid=
run_started=$SECONDS

report_stages() {
    local status=$? i
    stop_sanitizer_build
    echo
    echo "Stage times:"
    for i in "${!stage_names[@]}"; do
        printf '  %-34s %4d:%02d\n' "${stage_names[$i]}" $((stage_seconds[i] / 60)) $((stage_seconds[i] % 60))
    done
    [ -n "$current_stage" ] && printf '  %-34s failed\n' "$current_stage"
    printf '  %-34s %4d:%02d\n' "total" $(((SECONDS - run_started) / 60)) $(((SECONDS - run_started) % 60))
    return $status
}
trap report_stages EXIT

# stage NAME COMMAND...: runs COMMAND and records how long it took.
stage() {
    local name=$1 started=$SECONDS
    shift
    current_stage=$name
    echo "== $name"
    "$@"
    stage_names+=("$name")
    stage_seconds+=($((SECONDS - started)))
    current_stage=
}

normal_tests() {
    ctest --test-dir "$root/build" --output-on-failure --timeout 600 -j "$jobs"
}

# The sanitizer tree builds in the background, at a lower priority, while the
# normal tests run; its output is shown only when it fails.
sanitizer_build_log=$root/build-check/sanitizer-build.log
sanitizer_build_start() {
    mkdir -p "$root/build-check"
    setsid nice -n 10 "$root/scripts/build.sh" --sanitize "$root/build-check" sanitizer_suites fuzz_targets \
        >"$sanitizer_build_log" 2>&1 &
    sanitizer_build_pid=$!
}
sanitizer_build_wait() {
    local status=0
    wait "$sanitizer_build_pid" || status=$?
    sanitizer_build_pid=
    [ $status -eq 0 ] || { tail -80 "$sanitizer_build_log"; return 1; }
}
# A failed stage ends the run; the background build goes with it.
stop_sanitizer_build() {
    [ -n "$sanitizer_build_pid" ] && kill -- -"$sanitizer_build_pid" 2>/dev/null || true
}

sanitizer_tests() {
    LSAN_OPTIONS=suppressions=$root/tests/support/third_party_leaks.supp \
        ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        ctest --test-dir "$root/build-check" --output-on-failure --timeout 900 -j "$jobs" \
        -L "engine|messaging|viewer" -LE webview
}

# A short fuzz run: every libFuzzer target for 20 seconds on its seed corpus
# alone, two at a time. A crash, sanitizer report, timeout or over-large
# allocation fails the test command; the input is left in
# build-check/fuzz-findings/.
fuzz_run() {
    VELMORA_FUZZ_BUILD="$root/build-check" VELMORA_FUZZ_FRESH=1 VELMORA_FUZZ_PARALLEL=2 \
        "$root/scripts/fuzz.sh" --total-seconds 60
}

stage "setup" "$root/scripts/setup.sh"
stage "normal build" "$root/scripts/build.sh" "$root/build"
if [ $quick = 1 ]; then
    stage "normal tests" normal_tests
    exit 0
fi

sanitizer_build_start
stage "normal tests (+ sanitizer build)" normal_tests
stage "sanitizer build (rest)" sanitizer_build_wait
stage "sanitizer tests" sanitizer_tests
stage "fuzz run" fuzz_run
