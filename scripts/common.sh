# Shared by the set-up scripts: installs what is missing and builds.
# Sourced, not run.

set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${VARONEL_BUILD_DIR:-$ROOT/build}"

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
    libsdl2-dev libpulse-dev libsndfile1-dev libmpg123-dev libsamplerate0-dev libmp3lame-dev
    libebur128-dev libtag1-dev
    qt6-translations-l10n
    clang-format clang-tidy xvfb xauth openbox xdotool x11-apps netpbm
    clang libclang-rt-dev
    pulseaudio pulseaudio-utils
    librsvg2-bin desktop-file-utils appstream dbus file lintian
)

install_missing_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installation de : ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# configure_and_build BUILD_DIR [cmake options...]
configure_and_build() {
    local dir="$1"
    shift
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

# The demo library and its playlist, in the program folder where "Ouvrir" looks first.
make_demo_library() {
    "$BUILD/bin/varonel-demo" "$BUILD/bin/demo" --playlist "$BUILD/bin/Demo.pls"
}
