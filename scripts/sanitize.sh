#!/usr/bin/env bash
# The test suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
source "$(dirname "$0")/common.sh"
install_missing_packages
dir="$ROOT/build-sanitize"
configure_and_build "$dir" -DVARONEL_SANITIZE=ON -DVARONEL_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$dir" && ctest --output-on-failure -j"$(nproc)"
