#!/bin/sh
# Runs a test program through umockdev's wrapper (the first argument), whose
# preload library gives the program a test bed of its own: sysfs, /dev and
# uevents. The sanitizer runtime refuses to start unless it is the first
# library loaded. The preload library comes first here, but it only wraps
# file, socket and ioctl calls and reaches their real versions through the
# sanitizer's own wrappers, so that check is turned off.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
export ASAN_OPTIONS
exec "$@"
