#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Corvane
# need. Does nothing (quickly) when they are all present already. The
# notifications' test runs dunst on a bus of its own and reads it with
# dunstctl, which calls dbus-send and systemd's busctl. The joystick's kernel
# tests read it with jstest (joystick) and a reader of their own on SDL2.
# lrelease compiles the translations and lupdate checks them
# (qt6-l10n-tools); Qt's own German texts come from qt6-translations-l10n.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config librsvg2-bin
  qt6-base-dev qt6-serialport-dev libgl-dev qt6-l10n-tools qt6-translations-l10n python3
  libx11-dev libxtst-dev libxi-dev libxkbcommon-dev libxkbcommon-x11-dev libudev-dev libevdev-dev libglib2.0-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb openbox x11-utils x11-xkb-utils xdotool imagemagick fonts-dejavu-core
  sway qt6-wayland grim wtype jq
  dbus-daemon dbus-bin dunst systemd trayer waybar libglib2.0-bin python3-pyatspi at-spi2-core
  dpkg-dev file lintian desktop-file-utils appstream
  qemu-system-x86 linux-image-amd64 busybox-static kmod xz-utils udev libinput-tools
  joystick libsdl2-dev
)

# One dpkg-query for all: a package it does not know is simply not listed.
declare -A installed=()
while read -r name status; do
  [[ $status == installed ]] && installed[$name]=1
done < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${packages[@]}" 2>/dev/null || true)

missing=()
for package in "${packages[@]}"; do
  [[ -n ${installed[$package]:-} ]] || missing+=("$package")
done
((${#missing[@]} == 0)) && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "install-deps.sh: run as root or install sudo" >&2; exit 1; }
  sudo=(sudo)
fi
"${sudo[@]}" apt-get update
# The kernel is only booted by scripts/in-vm.sh, with an initramfs of its own:
# INITRD=No spares making the one Debian's boot would use.
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive INITRD=No apt-get install -y "${missing[@]}"
