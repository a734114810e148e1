#!/usr/bin/env bash
# The test suite again under sanitizers: once with AddressSanitizer and
# UndefinedBehaviorSanitizer, once with ThreadSanitizer, which checks the
# lock-free hand-offs between decoding threads, device threads and the main thread.
source "$(dirname "$0")/common.sh"
install_missing_packages

asan="$ROOT/build-sanitize"
configure_and_build "$asan" -DVARONEL_SANITIZE=ON -DVARONEL_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
(
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan.supp"
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    cd "$asan" && ctest --output-on-failure -j"$(nproc)"
)

tsan="$ROOT/build-tsan"
configure_and_build "$tsan" -DVARONEL_TSAN=ON -DVARONEL_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
(
    # die_after_fork=0: the sound-server test starts pulseaudio and parecord from a
    # process that already runs threads; the child only execs, so nothing races.
    export TSAN_OPTIONS="halt_on_error=1 die_after_fork=0 suppressions=$ROOT/scripts/tsan.supp"
    cd "$tsan" && ctest --output-on-failure -j"$(nproc)"
)
