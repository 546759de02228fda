#!/usr/bin/env bash
# Installs what is missing, builds, makes a demo card with a few saves (once),
# and starts cardsuite on it. The demo folder is the program's own folder:
# save files live in demo/saver, the card is demo/card.raw.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default

bin=$top/build/default/bin
demo=$top/demo
if [ ! -f "$demo/card.raw" ]; then
    mkdir -p "$demo"
    "$bin/cardtool" --device "image:$demo/card.raw" format --size 16
    "$bin/cardtool" --device "image:$demo/card.raw" demo --saves-dir "$demo/saver"
fi

if [ ! -x "$bin/cardsuite" ]; then
    "$bin/cardtool" --device "image:$demo/card.raw" list
    exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display to show the program on. The demo card holds:" >&2
    "$bin/cardtool" --device "image:$demo/card.raw" list
    echo "Start it on a desktop, or under a virtual one: xvfb-run -a scripts/run.sh" >&2
    exit 1
fi
cd "$demo"
exec "$bin/cardsuite" --card "$demo/card.raw" --data-dir "$demo" "$@"
