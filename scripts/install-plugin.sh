#!/bin/bash
# Builds the plug-in for one target and, for a Linux target, copies the VST 2 library into a VST folder and
# the LV2 bundle into an LV2 folder, where hosts look for them. As root on a fresh machine it first installs
# the Debian packages the build needs.
set -eu

usage() {
    cat <<EOF
usage: scripts/install-plugin.sh [--dest DIR] [--lv2-dest DIR] [preset]

preset     linux-x86_64 (default), linux-i386, windows-x86_64 or windows-i686
--dest     the VST folder for a Linux build (default ~/.vst; /usr/local/lib/vst serves every user)
--lv2-dest the LV2 folder for a Linux build (default ~/.lv2; /usr/local/lib/lv2 serves every user)
Builds in build/<preset> (or ZEPHYRION_BUILD_PREFIX<preset>, as test.sh does).
EOF
}

source_dir=$(cd "$(dirname "$0")/.." && pwd)
arguments=("$@")
preset=linux-x86_64
# From the password database: sudo may leave HOME pointing at the caller's or at root's home.
home=$(getent passwd "$(id -un)" | cut -d: -f6)
dest=$home/.vst
lv2_dest=$home/.lv2
while [ $# -gt 0 ]; do
    case $1 in
    --dest)
        dest=${2:?--dest needs a folder}
        shift
        ;;
    --lv2-dest)
        lv2_dest=${2:?--lv2-dest needs a folder}
        shift
        ;;
    -h | --help)
        usage
        exit 0
        ;;
    linux-x86_64 | linux-i386 | windows-x86_64 | windows-i686) preset=$1 ;;
    *)
        usage >&2
        exit 2
        ;;
    esac
    shift
done

"$source_dir/scripts/install-deps.sh" --packages-only
# Packages need root; the build and the plug-in folder belong to the user who asked through sudo.
if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    exec sudo -u "$SUDO_USER" -- "$0" "${arguments[@]}"
fi
build_prefix=${ZEPHYRION_BUILD_PREFIX:-build/}
case $build_prefix in /*) ;; *) build_prefix=$source_dir/$build_prefix ;; esac
build_dir=$build_prefix$preset
cmake --preset "$preset" -S "$source_dir" -B "$build_dir" >/dev/null
case $preset in
linux-*)
    cmake --build "$build_dir" -j 2 --target zephyrion_plugin zephyrion_lv2_bundle
    mkdir -p "$dest" "$lv2_dest"
    cp "$build_dir/bin/zephyrion.so" "$dest/zephyrion.so"
    echo "installed $dest/zephyrion.so: rescan plug-ins in your host (its VST_PATH or LXVST_PATH must include $dest)"
    # The whole bundle is replaced, so no file of an older build stays beside the new ones.
    rm -rf "$lv2_dest/zephyrion.lv2"
    cp -R "$build_dir/lib/lv2/zephyrion.lv2" "$lv2_dest/zephyrion.lv2"
    echo "installed $lv2_dest/zephyrion.lv2: rescan plug-ins in your host (its LV2_PATH must include $lv2_dest if set)"
    ;;
windows-*)
    cmake --build "$build_dir" -j 2 --target zephyrion_plugin
    echo "built $build_dir/bin/Zephyrion.dll: copy it into the VST plug-in folder of your Windows host"
    ;;
esac
