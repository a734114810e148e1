#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
source "$(dirname "$0")/common.sh"
install_missing_packages
configure_and_build "$BUILD"
make_demo_library
"$ROOT/scripts/check-format.sh"
"$ROOT/scripts/check-tidy.sh" "$BUILD"
cd "$BUILD" && ctest --output-on-failure -j"$(nproc)"
