#!/usr/bin/env bash
# What a Linux desktop and Debian see of the suite, checked from the build:
#   desktop-checks.sh install BUILD   installs into a temporary prefix, checks it
#                                     file by file, validates the desktop entries
#                                     and the AppStream metadata, then runs the
#                                     installed programs as a user would;
#   desktop-checks.sh package BUILD   builds the Debian package and checks its
#                                     contents, its computed dependencies and lintian.
# Exits 77 (skipped) when a tool it needs is missing.
set -euo pipefail
mode="$1"
build="$(cd "$2" && pwd)"
work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
}

# Every file an install holds, relative to its prefix, sorted.
expected_files() {
    local app size
    echo bin/Varonel
    echo bin/VaronelPlayer
    echo libexec/varonel/varonel-installer
    for app in org.varonel.Varonel org.varonel.VaronelPlayer; do
        echo "share/applications/$app.desktop"
        echo "share/metainfo/$app.metainfo.xml"
        echo "share/icons/hicolor/scalable/apps/$app.svg"
        for size in 16 22 24 32 48 64 128 256; do
            echo "share/icons/hicolor/${size}x${size}/apps/$app.png"
        done
    done
    echo share/man/man1/Varonel.1.gz
    echo share/man/man1/VaronelPlayer.1.gz
    echo share/doc/varonel/changelog.gz
    echo share/doc/varonel/copyright
}

# Waits up to $2 seconds for the command $1 to succeed.
wait_for() {
    local tries=$(($2 * 10))
    while ! eval "$1" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

check_install() {
    need desktop-file-validate appstreamcli dbus-daemon dbus-send
    local prefix="$work/prefix"
    cmake --install "$build" --prefix "$prefix" >/dev/null
    diff <(expected_files | sort) <(cd "$prefix" && find . -type f | sed 's|^\./||' | sort) ||
        fail "the install does not hold the expected files"
    for size in 16 48 256; do
        file "$prefix/share/icons/hicolor/${size}x${size}/apps/org.varonel.Varonel.png" |
            grep -q "$size x $size" || fail "the ${size}x${size} icon has another size"
    done
    desktop-file-validate "$prefix"/share/applications/*.desktop || fail "desktop entries"
    appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml || fail "AppStream"
    for program in Varonel VaronelPlayer; do
        grep -qx "Exec=$program" "$prefix/share/applications/org.varonel.$program.desktop" ||
            fail "$program's entry does not start it"
    done

    # A user of the installed programs, with a session bus of their own. The
    # program folder is writable here (the test may run as root): an install
    # must keep the user's files in the user's folder all the same.
    export HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config"
    export XDG_RUNTIME_DIR="$work/run"
    export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    local user_folder="$XDG_DATA_HOME/Varonel"
    local bus_address
    bus_address="$(dbus-daemon --session --fork --print-address=1 --print-pid=3 3>"$work/bus.pid")"
    pids+=("$(cat "$work/bus.pid")")
    export DBUS_SESSION_BUS_ADDRESS="$bus_address"

    # First run: the player starts the installer from the install's helpers,
    # which puts the audio component in the user's folder.
    "$prefix/bin/VaronelPlayer" >"$work/player.log" 2>&1 &
    pids+=($!)
    wait_for "test -f '$user_folder/systeme/VaronelAudio.composant'" 20 ||
        fail "the installed player's first run installed no component: $(cat "$work/player.log")"
    kill "${pids[-1]}"

    # Later run: Varonel on the bus; asked to quit, it saves its settings in the
    # user's folder, never in the program folder.
    "$prefix/bin/Varonel" >"$work/varonel.log" 2>&1 &
    local varonel=$!
    pids+=("$varonel")
    local mpris=(dbus-send --print-reply --dest=org.mpris.MediaPlayer2.varonel /org/mpris/MediaPlayer2)
    wait_for "${mpris[*]} org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2 string:Identity" 20 ||
        fail "the installed Varonel is not on the bus: $(cat "$work/varonel.log")"
    "${mpris[@]}" org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2 \
        string:DesktopEntry | grep -q '"org.varonel.Varonel"' || fail "desktop entry on the bus"
    "${mpris[@]}" org.mpris.MediaPlayer2.Quit >/dev/null
    wait_for "! kill -0 $varonel" 20 || fail "Varonel did not quit"
    test -f "$user_folder/Varonel.Ini" || fail "no Varonel.Ini in $user_folder"
    test ! -e "$prefix/bin/Varonel.Ini" || fail "Varonel.Ini written in the program folder"
    echo "install: OK"
}

check_package() {
    need cpack dpkg-deb dpkg-shlibdeps
    (cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) ||
        fail "cpack: $(cat "$work/cpack.log")"
    local deb
    deb="$(ls "$work"/varonel_*.deb)"
    diff <(expected_files | sed 's|^|usr/|' | sort) \
        <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort) ||
        fail "the package does not hold the install's files"
    dpkg-deb -c "$deb" | awk '{print $1, $2, $6}' | grep -v '^-rw-r--r-- root/root\|^-rwxr-xr-x root/root\|^drwxr-xr-x root/root' &&
        fail "files not owned by root or with odd permissions"
    local depends
    depends="$(dpkg-deb -f "$deb" Depends)"
    for library in libqt6widgets6 libqt6dbus6 libsdl2-2.0-0 libsndfile1 libmpg123-0 libsamplerate0; do
        [[ "$depends" == *"$library ("* ]] || fail "Depends lacks $library: $depends"
    done
    if command -v lintian >/dev/null; then
        lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
            fail "lintian: $(cat "$work/lintian.log")"
    else
        echo "lintian is not installed: the package was not linted"
    fi
    echo "package: OK ($(basename "$deb"))"
}

case "$mode" in
    install) check_install ;;
    package) check_package ;;
    *) fail "usage: $0 install|package BUILD" ;;
esac
