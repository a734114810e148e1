#!/usr/bin/env bash
# The fuzz targets of fuzz/ (libFuzzer, with AddressSanitizer and
# UndefinedBehaviorSanitizer), built with clang in build-fuzz/ and started from
# the seed corpus that varonel-fuzz-seeds writes.
#
#   scripts/fuzz.sh ci                  each target for a few seconds; fails on any finding
#   scripts/fuzz.sh run TARGET [SECS]   one target for SECS seconds (default: until stopped),
#                                       its corpus kept in build-fuzz/corpus/TARGET
#   scripts/fuzz.sh bench [SECS]        executions per second of each target (default 20 s each)
#
# Targets: fuzz_pls, fuzz_ini, fuzz_catalogue, fuzz_decoder. A finding is written to
# build-fuzz/artifacts/; replay it with build-fuzz/bin/TARGET FILE.
source "$(dirname "$0")/common.sh"

FUZZ_BUILD="${VARONEL_FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"
TARGETS=(fuzz_pls fuzz_ini fuzz_catalogue fuzz_decoder)
CI_SECONDS="${VARONEL_FUZZ_CI_SECONDS:-6}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$ROOT/scripts/lsan.supp}"

# The seed folder of a target.
seeds_of() {
    case "$1" in
        fuzz_pls) echo "$FUZZ_BUILD/seeds/pls" ;;
        fuzz_ini) echo "$FUZZ_BUILD/seeds/ini" ;;
        fuzz_catalogue) echo "$FUZZ_BUILD/seeds/catalogue" ;;
        fuzz_decoder) echo "$FUZZ_BUILD/seeds/decoder" ;;
        *) echo "Cible inconnue : $1 (${TARGETS[*]})" >&2; exit 2 ;;
    esac
}

build_targets() {
    # The seeds come from the regular build's synthesiser: no clang needed for them.
    cmake -S "$ROOT" -B "$BUILD" -G Ninja >/dev/null
    cmake --build "$BUILD" -j"$(nproc)" --target varonel-fuzz-seeds
    rm -rf "$FUZZ_BUILD/seeds"
    "$BUILD/bin/varonel-fuzz-seeds" "$FUZZ_BUILD/seeds"
    CC=clang CXX=clang++ cmake -S "$ROOT" -B "$FUZZ_BUILD" -G Ninja -DVARONEL_FUZZ=ON \
        -DVARONEL_BUILD_TESTS=OFF -DVARONEL_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=None >/dev/null
    cmake --build "$FUZZ_BUILD" -j"$(nproc)" --target fuzz_targets
    mkdir -p "$FUZZ_BUILD/artifacts"
}

# run_target TARGET CORPUS [libFuzzer options...]: new inputs go to CORPUS.
run_target() {
    local target="$1" corpus="$2"
    shift 2
    mkdir -p "$corpus"
    "$FUZZ_BUILD/bin/$target" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$FUZZ_BUILD/artifacts/$target-" "$@" "$corpus" "$(seeds_of "$target")"
}

mode="${1:-}"
case "$mode" in
    ci)
        install_missing_packages
        build_targets
        rm -rf "$FUZZ_BUILD/artifacts"/* "$FUZZ_BUILD/ci-corpus"
        for target in "${TARGETS[@]}"; do
            log="$FUZZ_BUILD/artifacts/$target.log"
            if ! run_target "$target" "$FUZZ_BUILD/ci-corpus/$target" \
                -max_total_time="$CI_SECONDS" >"$log" 2>&1; then
                tail -n 60 "$log"
                echo "$target : une entrée fait échouer la cible, voir $FUZZ_BUILD/artifacts/" >&2
                exit 1
            fi
            echo "$target : $(grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' \
                "$log" | sed 's/^stat:://' | tr '\n' ' ')"
        done
        ;;
    run)
        target="${2:?Usage : scripts/fuzz.sh run CIBLE [SECONDES]}"
        seeds_of "$target" >/dev/null
        build_targets
        options=()
        [ -n "${3:-}" ] && options+=(-max_total_time="$3")
        run_target "$target" "$FUZZ_BUILD/corpus/$target" "${options[@]}"
        ;;
    bench)
        seconds="${2:-20}"
        build_targets >/dev/null
        declare -A goal=([fuzz_pls]=2000 [fuzz_ini]=5000 [fuzz_catalogue]=2000 [fuzz_decoder]=300)
        for target in "${TARGETS[@]}"; do
            rm -rf "$FUZZ_BUILD/bench-corpus/$target"
            rate=$(run_target "$target" "$FUZZ_BUILD/bench-corpus/$target" \
                -max_total_time="$seconds" 2>&1 |
                sed -n 's/^stat::average_exec_per_sec: *//p')
            echo "$target: ${rate:-0} exec/s (goal >= ${goal[$target]})"
        done
        ;;
    *)
        sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'
        exit 2
        ;;
esac
