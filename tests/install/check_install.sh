#!/usr/bin/env bash
# check_install.sh CMAKE BUILD_DIR LIBDIR VENDOR:PRODUCT GUI VERSION
set -euo pipefail
cmake=$1 build=$2 libdir=$3 usb_id=${4,,} gui=$5 version=$6
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
"$cmake" --install "$build" --prefix "$root/usr" >/dev/null
cd "$root/usr"
problems=0
fail() { echo "install: $*" >&2; problems=$((problems + 1)); }
need() { [ -e "$1" ] || fail "missing $1"; }
# grep -q stops reading at its first match, and with pipefail the writer's
# SIGPIPE then fails the pipeline on a busy machine: read everything.
has() { grep "$@" >/dev/null; }

# The library: a SONAME the loader and packagers follow, the development
# link, the versioned exports, the header and the pkg-config file.
lib=$libdir/libmcbridge.so
need "$lib.1"
[ "$(readlink "$lib")" = libmcbridge.so.1 ] || fail "$lib does not point at the SONAME"
soname=$(objdump -p "$lib.1" | awk '$1 == "SONAME" {print $2}')
[ "$soname" = libmcbridge.so.1 ] || fail "SONAME is '$soname'"
nm -D --defined-only "$lib.1" | has ' OpenDevice@@MCBRIDGE_1$' ||
    fail "OpenDevice is not in the version node MCBRIDGE_1"
need include/mcbridge.h
pc=$(PKG_CONFIG_PATH=$PWD/$libdir/pkgconfig pkg-config --modversion mcbridge 2>&1) ||
    fail "pkg-config: $pc"
[ "$pc" = "$version" ] || fail "pkg-config version '$pc', not $version"
PKG_CONFIG_PATH=$PWD/$libdir/pkgconfig pkg-config --libs mcbridge | has -- -lmcbridge ||
    fail "pkg-config does not link -lmcbridge"

# The udev rule opens the configured adapter to the user at the seat.
rule=lib/udev/rules.d/70-cardsuite.rules
need "$rule"
grep -q "ATTR{idVendor}==\"${usb_id%:*}\", ATTR{idProduct}==\"${usb_id#*:}\", TAG+=\"uaccess\"" \
    "$rule" || fail "$rule does not give $usb_id to the seat's user"

# The installed tools keep no journal of this check's card.
export MCBRIDGE_JOURNAL=off
programs=(cardtool)
[ "$gui" = ON ] && programs+=(cardsuite)
for p in "${programs[@]}"; do
    need "bin/$p"
    need "share/man/man1/$p.1.gz"
    zcat "share/man/man1/$p.1.gz" | has "^\.TH ${p^^} 1" || fail "$p.1.gz is not its man page"
done
need share/doc/cardsuite/copyright

export LD_LIBRARY_PATH=$PWD/$libdir
ldd bin/cardtool | has "libmcbridge.so.1 => $PWD/$libdir/" ||
    fail "cardtool does not load the installed library"
bin/cardtool --help | has '^Usage: cardtool' || fail "cardtool --help"
bin/cardtool --device "image:$root/card.raw" format --size 4 2>/dev/null &&
    bin/cardtool --device "image:$root/card.raw" list | has . ||
    fail "the installed cardtool cannot format and list a card image"

if [ "$gui" = ON ]; then
    app=share/applications/org.cardsuite.cardsuite.desktop
    need "$app"
    icon=$(sed -n 's/^Icon=//p' "$app")
    [ "$(sed -n 's/^Exec=//p' "$app")" = cardsuite ] || fail "$app does not start cardsuite"
    need "share/icons/hicolor/scalable/apps/$icon.svg"
    for size in 16 22 24 32 48 64 128 256; do
        png=share/icons/hicolor/${size}x${size}/apps/$icon.png
        need "$png"
        # The PNG header's width and height, big-endian at bytes 16 and 20.
        dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{print $3*256+$4 "x" $7*256+$8}')
        [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
    done
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$app" || fail "desktop-file-validate $app"
    fi
    metainfo=share/metainfo/org.cardsuite.cardsuite.metainfo.xml
    need "$metainfo"
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net "$metainfo" >/dev/null 2>&1 ||
            { appstreamcli validate --no-net "$metainfo" >&2; fail "appstreamcli validate"; }
    fi
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM bin/cardsuite --help) ||
        fail "cardsuite --help"
    grep -q '^Usage: cardsuite' <<<"$out" || fail "cardsuite --help says '$out'"
    [ "$(bin/cardsuite --version)" = "cardsuite $version" ] || fail "cardsuite --version"
fi

if [ "$problems" -ne 0 ]; then
    echo "install: $problems problems" >&2
    exit 1
fi
echo "install: ${programs[*]}, the library and their files are in place and start"
