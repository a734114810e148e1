#!/usr/bin/env bash
# Installs what is missing, builds, writes the demo library and starts Varonel.
# Without a display, renders the demo playlist's mix to a WAV file instead.
source "$(dirname "$0")/common.sh"
install_missing_packages
configure_and_build "$BUILD"
make_demo_library
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$BUILD/bin/Varonel"
fi
mix="$BUILD/bin/Demo-mix.wav"
echo "Pas d'écran : mixage hors ligne de $BUILD/bin/Demo.pls"
"$BUILD/bin/Varonel" --render "$BUILD/bin/Demo.pls" --output "$mix"
echo "Le mix est dans $mix"
