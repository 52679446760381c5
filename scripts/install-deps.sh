#!/bin/bash
# Installs the Debian packages in scripts/packages.txt (adding the i386 architecture that wine32 and the
# 32-bit X11 headers need), then makes this machine run 32-bit x86 programs. Needs root; without it, names
# the packages that are missing and fails.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(grep -v '^\s*#' "$here/packages.txt" | grep -v '^\s*$')

missing=()
for pkg in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done

if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "install-deps: missing Debian packages: ${missing[*]}" >&2
        echo "install-deps: run 'sudo $0' to install them" >&2
        exit 1
    fi
    echo "install-deps: installing ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

"$here/enable-i386-emulation.sh"
