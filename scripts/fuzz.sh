#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each of them on its seed
# corpus. Exits non-zero when any target finds a crash, a leak, a timeout or an
# allocation past the memory limit; the input that did it is left in
# BUILD/fuzz-findings/TARGET/ and its name printed.
#
#   scripts/fuzz.sh MINUTES [TARGET...]           every target (or those named) for MINUTES each
#   scripts/fuzz.sh --total-seconds S [TARGET...] S seconds shared out among the targets
#
# Environment:
#   VELMORA_FUZZ_BUILD     the build tree (default: build-fuzz-engine in the repository)
#   VELMORA_FUZZ_PARALLEL  how many targets run at once (default 1)
#   VELMORA_FUZZ_FRESH=1   start from the seeds alone instead of the corpus kept from earlier runs
#   VELMORA_FUZZ_KEEP_GOING=1  for long runs: go on past a finding (each input runs in a child
#                          process) and collect every finding; the exit status still reports them
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMORA_FUZZ_BUILD:-$root/build-fuzz-engine}
parallel=${VELMORA_FUZZ_PARALLEL:-1}
corpus_source=${VELMORA_CORPUS_DIR:-$root/../shared/corpus}

usage() {
    echo "usage: $0 MINUTES [TARGET...] | $0 --total-seconds SECONDS [TARGET...]" >&2
    exit 2
}

[ $# -ge 1 ] || usage
per_target_seconds=
total_seconds=
if [ "$1" = "--total-seconds" ]; then
    [ $# -ge 2 ] || usage
    total_seconds=$2
    shift 2
else
    per_target_seconds=$(( $1 * 60 ))
    shift
fi

# Limits every target runs under. A store input is at most a few hundred KiB,
# so a single allocation past 128 MiB is a size field believed without a check,
# and an input that takes more than 5 s, even with the sanitizers, is a hang.
common_flags=(-timeout=5 -report_slow_units=2 -malloc_limit_mb=128 -rss_limit_mb=1536 -print_final_stats=1)

[ "${VELMORA_FUZZ_KEEP_GOING:-0}" = 1 ] && common_flags+=(-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1)

# The fuzz targets come from the sanitizer build (build.sh --sanitize), the
# same tree the test command runs its sanitizer suites in.
configure_and_build() {
    mkdir -p "$build"
    "$root/scripts/build.sh" --sanitize "$build" fuzz_targets >"$build/fuzz-build.log" 2>&1 \
        || { tail -50 "$build/fuzz-build.log" >&2; exit 1; }
    mapfile -t targets_all < <(ninja -C "$build" -t targets all | sed -n 's/^\([A-Za-z0-9_]*_fuzz\): phony$/\1/p' | grep -v '^cmake_' | sort -u)
    [ ${#targets_all[@]} -gt 0 ] || { echo "no fuzz targets in $build" >&2; exit 1; }
}

store_variant_of() {
    case $1 in
        store_ansi_fuzz) echo ansi ;;
        store_unicode_fuzz) echo unicode ;;
        store_4k_fuzz) echo 4k ;;
        viewer_path_fuzz) echo ansi unicode 4k ;;
        *) echo "" ;;
    esac
}

# Corpus stores of a variant that are small enough to mutate quickly.
corpus_seeds_of() {
    case $1 in
        ansi) echo ansi-small-backup.pst ansi-many-items.pst ;;
        unicode) echo unicode-to-cc.pst unicode-submessage.pst unicode-nested-folders.pst ;;
        4k) echo ost4k/unicode-to-cc.ost ost4k/unicode-submessage.plain.ost ost4k/unicode-contacts.ost ;;
    esac
}

# Stores the writer makes: two folders of two messages, in each encoding, and
# for the 4K variant also without compression.
writer_seeds() {
    local variant=$1 dir=$2 crypt
    for crypt in 0 1 2; do
        "$build/bin/storegen" --output "$dir/writer-$variant-crypt$crypt.store" --variant "$variant" --crypt $crypt \
            --folders 2 --messages 2 --body-size 200 >/dev/null
    done
    if [ "$variant" = 4k ]; then
        "$build/bin/storegen" --output "$dir/writer-4k-plain.store" --variant 4k --no-compress \
            --folders 2 --messages 2 --body-size 200 >/dev/null
    fi
}

# Fills BUILD/fuzz-seeds/TARGET: the files under fuzz/corpus/NAME (NAME being the
# target without its _fuzz), and for the store targets (the viewer-path target
# reads stores of every variant) the writer's stores, a few corpus stores and
# every regression input.
make_seeds() {
    local target=$1 dir=$build/fuzz-seeds/$1 variants variant name regressions
    local checked_in=$root/fuzz/corpus/${target%_fuzz}
    rm -rf "$dir"
    mkdir -p "$dir"
    if [ -d "$checked_in" ]; then find "$checked_in" -type f -exec cp {} "$dir"/ \;; fi
    variants=$(store_variant_of "$target")
    [ -n "$variants" ] || return 0
    for variant in $variants; do
        writer_seeds "$variant" "$dir"
        for name in $(corpus_seeds_of "$variant"); do
            [ -f "$corpus_source/$name" ] && cp "$corpus_source/$name" "$dir/corpus-$(basename "$name")"
        done
    done
    for regressions in "$root/tests/engine/fuzz_regressions" "$root/tests/tools/velmora-cli/fuzz_regressions"; do
        [ -d "$regressions" ] && find "$regressions" -type f ! -name '*.md' -exec cp {} "$dir"/ \;
    done
    return 0
}

run_target() {
    local target=$1 seconds=$2
    local corpus=$build/fuzz-corpus/$target findings=$build/fuzz-findings/$target log=$build/fuzz-logs/$target.log
    [ "${VELMORA_FUZZ_FRESH:-0}" = 1 ] && rm -rf "$corpus"
    rm -rf "$findings"
    mkdir -p "$corpus" "$findings" "$(dirname "$log")"
    echo "fuzzing $target for ${seconds}s (log: $log)"
    local status=0
    (cd "$findings" && "$build/bin/$target" "${common_flags[@]}" -max_total_time="$seconds" \
        -artifact_prefix="$findings/" "$corpus" "$build/fuzz-seeds/$target") >"$log" 2>&1 || status=$?
    # A run that went on past its findings exits cleanly; what it found is in the folder.
    if [ "$status" -eq 0 ] && [ -n "$(ls -A "$findings" 2>/dev/null | grep -v '^slow-unit-')" ]; then status=1; fi
    summarise "$target" "$log" "$status"
    return "$status"
}

summarise() {
    local target=$1 log=$2 status=$3
    local last
    last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
    echo "$target: ${last:-no progress line}"
    grep -E 'stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" | sed "s/^/$target: /" || true
    if [ "$status" -ne 0 ]; then
        echo "$target: FAILED (exit $status)"
        grep -E '^(==[0-9]+==ERROR|SUMMARY|artifact_prefix|Test unit written to)' "$log" | head -5 | sed "s/^/$target: /"
    fi
}

configure_and_build
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${targets_all[@]}")
if [ -n "$total_seconds" ]; then
    per_target_seconds=$(( total_seconds * parallel / ${#targets[@]} ))
    [ "$per_target_seconds" -ge 1 ] || per_target_seconds=1
fi

for target in "${targets[@]}"; do make_seeds "$target"; done

failed=0
pids=()
for target in "${targets[@]}"; do
    run_target "$target" "$per_target_seconds" &
    pids+=($!)
    if [ ${#pids[@]} -ge "$parallel" ]; then
        wait "${pids[0]}" || failed=1
        pids=("${pids[@]:1}")
    fi
done
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done

if [ "$failed" -ne 0 ]; then
    echo "fuzzing found a problem; inputs are in $build/fuzz-findings/" >&2
    exit 1
fi
echo "fuzzing: no findings"
