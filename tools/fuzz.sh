#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz and runs each of them for a
# bounded time, all at once, starting from its committed seed corpus.
#
#   tools/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS: how long each target runs (default 20). TARGET: fuzz_load, fuzz_json,
# fuzz_device, fuzz_report (default all four). QST_FUZZ_FORKS=N runs each
# target as N libFuzzer worker processes (the device target spends most of
# its time waiting, so it gains from more workers than cores).
#
# New inputs go to a scratch corpus in build-fuzz/fuzz/corpus (kept between
# runs); the committed corpus in tests/fuzz/corpus is only read. Exits
# non-zero when a target crashes, times out, fails one of its checks, or
# the committed corpus changed; the input that did it is saved under
# build-fuzz/fuzz/artifacts/TARGET/ and can be replayed by passing the file
# to build-fuzz/tests/fuzz/TARGET.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure-packages.sh
ensure_packages "${QST_BUILD_PACKAGES[@]}" "${QST_FUZZ_PACKAGES[@]}"

seconds=${1:-20}
[ $# -gt 0 ] && shift
case "$seconds" in
'' | *[!0-9]*) echo "usage: tools/fuzz.sh [SECONDS] [TARGET...]" >&2; exit 2 ;;
esac
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_load fuzz_device fuzz_report fuzz_json)
forks=${QST_FUZZ_FORKS:-0}

build=build-fuzz
cmake -S . -B "$build" -DQST_FUZZ=ON -DQST_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

corpus_sum() { find tests/fuzz/corpus -type f -print0 | sort -z | xargs -0 sha256sum | sha256sum; }
committed=$(corpus_sum)

work="$build/fuzz"
# The targets write their files in a folder of their own, on tmpfs when there
# is one, since the load target writes a file for every input.
scratch_base=/dev/shm
[ -d "$scratch_base" ] && [ -w "$scratch_base" ] || scratch_base="$work"
mkdir -p "$work"
scratch=$(mktemp -d "$scratch_base/qst-fuzz.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$scratch"
}
trap cleanup EXIT

max_len() {
    case "$1" in
    fuzz_device) echo 8192 ;;
    *) echo 4096 ;;
    esac
}

for target in "${targets[@]}"; do
    mkdir -p "$work/corpus/$target" "$work/artifacts/$target"
    options=(-max_total_time="$seconds" -timeout=10 -max_len="$(max_len "$target")"
        -artifact_prefix="$work/artifacts/$target/" -print_final_stats=1)
    [ -f "tests/fuzz/$target.dict" ] && options+=(-dict="tests/fuzz/$target.dict")
    [ "$forks" -gt 0 ] && options+=(-fork="$forks")
    TMPDIR="$scratch" "$build/tests/fuzz/$target" "${options[@]}" \
        "$work/corpus/$target" "tests/fuzz/corpus/$target" >"$work/$target.log" 2>&1 &
    pids+=($!)
done

failed=0
crashed=0
for i in "${!targets[@]}"; do
    target=${targets[$i]}
    status=0
    wait "${pids[$i]}" || status=$?
    log="$work/$target.log"
    # A single process ends with "Done N runs in S second(s)"; workers
    # (-fork) report "#N: ..." lines and "exiting: STATUS time: Ss".
    runs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
    time=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\2/p' "$log" | tail -1)
    if [ -z "$runs" ]; then
        runs=$(sed -n 's/^#\([0-9]*\): cov.*/\1/p' "$log" | tail -1)
        time=$(sed -n 's/^INFO: exiting: .* time: \([0-9]*\)s.*/\1/p' "$log" | tail -1)
    fi
    runs=${runs:-0}
    time=${time:-0}
    rate=0
    [ "$time" -gt 0 ] && rate=$((runs / time))
    if [ "$status" -eq 0 ]; then
        echo "$target: $runs executions in $time s ($rate/s), no crash"
    else
        failed=1
        crashed=$((crashed + 1))
        echo "$target: FAILED (exit status $status) after $runs executions in $time s; log: $log"
        grep -E "ERROR|check failed|assertion|SUMMARY|Test unit written|deadly signal|timeout" "$log" | head -20 || true
    fi
done

if [ "$(corpus_sum)" != "$committed" ]; then
    echo "the committed corpus in tests/fuzz/corpus changed" >&2
    failed=1
fi
echo "fuzz: $((${#targets[@]} - crashed)) passed, $crashed failed"
exit "$failed"
