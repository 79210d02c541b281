#!/bin/sh
# Installs the Debian packages that building, running and testing Serimo need.
# Runs apt-get only for what is missing; uses sudo when not root.
set -eu

packages="cmake g++ make ccache pkg-config qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
libgl-dev libxcb1-dev libwayland-dev libwayland-bin plasma-wayland-protocols qt6-wayland fonts-dejavu-core
xdg-utils qtkeychain-qt6-dev libqt6sql6-sqlite"
if [ "${1:-}" = "--fuzz" ]; then
    packages="$packages clang libclang-rt-14-dev"
fi
if [ "${1:-}" = "--package" ]; then
    packages="$packages debhelper dpkg-dev fakeroot lintian appstream desktop-file-utils man-db"
fi
if [ "${1:-}" = "--tests" ]; then
    packages="$packages xvfb xauth openbox xclip xdotool x11-utils dbus-x11
at-spi2-core python3-pyatspi python3-dbus python3-gi desktop-file-utils sway xwayland x11-xserver-utils wl-clipboard foot kwin-wayland wget aria2 python3-xlib gnome-keyring
python3-h2 openssl curl"
fi

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
echo "Installing:$missing"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
