#!/usr/bin/env bash
# Installs what is missing, builds, writes the demo library and starts Varonel.
source "$(dirname "$0")/common.sh"
install_missing_packages
configure_and_build "$BUILD"
make_demo_library
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$BUILD/bin/Varonel"
fi
echo "Pas d'écran : la démo est dans $BUILD/bin/demo et sa playlist dans $BUILD/bin/Demo.pls"
