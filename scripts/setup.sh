#!/usr/bin/env bash
# Installs what building, running and testing Parcelo needs on Debian 12 (run as root).
# Does nothing when everything is already there, so both README commands can call it. Packages
# named as arguments are installed too (the Windows build names its own).
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl-dev
    7zip locales fonts-noto-core fonts-noto-color-emoji fonts-noto-cjk
    xvfb xauth xdotool openbox x11-utils imagemagick procps util-linux file
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y --no-install-recommends "${missing[@]}"
fi

# A locale that is not UTF-8, as some users have: the tests run the archiver under it.
locale -a | grep -qx de_DE.iso88591 || localedef -i de_DE -f ISO-8859-1 de_DE.ISO-8859-1
