#!/usr/bin/env bash
# Builds the Debian package build/corvane_<version>_amd64.deb with CPack: the
# program and the tracker simulator in /usr/bin, the desktop entry, the
# AppStream metainfo, the icon, the manual page, the udev rule for
# /dev/uinput, the uinput module's loading at boot and the set-up after
# installation that applies the rule at once (packaging/postinst). Its
# dependencies are Qt's Wayland plugin and those computed by
# dpkg-shlibdeps. Uses build/ as it is configured (Release when
# it is new); prints the package's path on its last line.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build

bash "$root/scripts/install-deps.sh"
if [[ -f $build/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$build" >/dev/null
else
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target corvane corvane-tracker-sim
rm -f "$build"/corvane_*_amd64.deb
(cd "$build" && cpack -G DEB -B "$build/cpack" >/dev/null)
package=$(find "$build/cpack" -maxdepth 1 -name 'corvane_*_amd64.deb' -print -quit)
[[ -n $package ]] || { echo "package.sh: CPack made no package" >&2; exit 1; }
mv "$package" "$build/"
echo "$build/$(basename "$package")"
