#!/usr/bin/env bash
# Installs what the project needs to build, test and run, from Debian's
# packages only. Packages already installed are left alone.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config zlib1g-dev ccache
    # program and library
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libusb-1.0-0-dev libudev-dev
    libjpeg62-turbo-dev xdg-utils
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev umockdev libumockdev-dev
    # fuzz targets (libFuzzer)
    clang libclang-rt-14-dev
    # looking at the program without a display
    xvfb xauth imagemagick fonts-noto-cjk fonts-dejavu-core poppler-utils
    # formatting, the package and its checks
    git clang-format dpkg-dev file lintian appstream desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
    if [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" != 'install ok installed' ]; then
        missing+=("$p")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}" >&2
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
