#!/usr/bin/env bash
# The test suite again under sanitizers:
#  - all of it with AddressSanitizer and UndefinedBehaviorSanitizer;
#  - the audio engine's tests with ThreadSanitizer, which checks the lock-free
#    hand-offs between decoding threads, device threads and the main thread. The
#    tests of the windows and of the transport are left out of that pass: Qt
#    itself is not built for ThreadSanitizer, and its own threads (the test
#    watchdog) then show races that are not ours.
source "$(dirname "$0")/common.sh"
install_missing_packages

asan="$ROOT/build-sanitize"
configure_and_build "$asan" -DVARONEL_SANITIZE=ON -DVARONEL_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$asan" && ctest --output-on-failure -j"$(nproc)")

tsan="$ROOT/build-tsan"
cmake -S "$ROOT" -B "$tsan" -G Ninja -DVARONEL_TSAN=ON -DVARONEL_BUILD_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$tsan" -j"$(nproc)" --target tst_mixer tst_player tst_outputs tst_decoder
export TSAN_OPTIONS=halt_on_error=1
(cd "$tsan" && ctest --output-on-failure -j"$(nproc)" -R '^tst_(mixer|player|outputs|decoder)$')
