#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the editor need, and any named on the
# command line (scripts/test.sh adds clang and its libFuzzer runtime); skips what is there.
set -euo pipefail

# libqt6svg6 brings the SVG icon engine plugin that draws the program's icons. librsvg2-bin renders
# the bitmap program icons at build time; desktop-file-utils checks the installed launcher.
# qt6-l10n-tools has lrelease, which compiles our Swedish catalogue for Qt's own dialogs. git runs
# the test of the diff and merge drivers as the README sets them up. libxlsxwriter writes
# spreadsheets (found through pkg-config); zlib unpacks the ones read.
packages=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins libqt6svg6 qt6-translations-l10n
          qt6-l10n-tools
          libsqlite3-dev libicu-dev libxlsxwriter-dev zlib1g-dev pkg-config
          desktop-file-utils librsvg2-bin
          fonts-dejavu-core git "$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installerar: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
