#!/usr/bin/env bash
# Builds the Debian package, has lintian judge it, unpacks it into a scratch
# root and starts the programs it installs there.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset package >/dev/null
cmake --build --preset package
rm -f build/package/cardsuite_*.deb
cpack --preset package >/dev/null
deb=$(ls build/package/cardsuite_*.deb)
echo "package: $deb"
dpkg-deb --field "$deb" Depends

# Errors fail the check; warnings are shown for whoever reads the log.
lintian --fail-on error "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
libdir=$(dirname "$(find "$root/usr/lib" -name 'libmcbridge.so.1' | head -n1)")
export LD_LIBRARY_PATH=$libdir
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
"${nodisplay[@]}" "$root/usr/bin/cardtool" --help >/dev/null
"${nodisplay[@]}" "$root/usr/bin/cardtool" --version
"${nodisplay[@]}" "$root/usr/bin/cardsuite" --help >/dev/null
"${nodisplay[@]}" "$root/usr/bin/cardsuite" --version
status=0
"${nodisplay[@]}" "$root/usr/bin/cardsuite" 2>/dev/null || status=$?
[ "$status" -eq 1 ] || { echo "cardsuite without a desktop ended with $status, not 1" >&2; exit 1; }
echo "package: the installed cardtool and cardsuite start"
