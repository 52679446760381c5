#!/bin/bash
# Installs the Debian packages in scripts/packages.txt (adding the i386 architecture that wine32 and the
# 32-bit X11 headers need), then makes this machine run 32-bit x86 programs. Needs root; without it, names
# the packages that are missing and fails.
# Usage: install-deps.sh [--packages-only]   (--packages-only leaves 32-bit emulation alone)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
packages_only=0
case ${1:-} in
--packages-only) packages_only=1 ;;
"") ;;
*)
    echo "usage: $0 [--packages-only]" >&2
    exit 2
    ;;
esac
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
    # Waits for another apt run (unattended upgrades on a fresh machine) instead of failing at once.
    apt-get -o DPkg::Lock::Timeout=600 update -qq
    apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    echo "install-deps: installed ${#missing[@]} package(s)"
fi

[ "$packages_only" -eq 1 ] || "$here/enable-i386-emulation.sh"
