#!/bin/bash
# Builds and tests Zephyrion for every target and checks the sources' formatting, then prints a summary.
# As root it first installs the Debian packages it needs; otherwise it names the missing ones and fails.
# Exits non-zero when anything failed.
set -u

usage() {
    cat <<EOF
usage: ./test.sh [options] [preset...]

Without presets: ${default_presets[*]}

options:
  --build-prefix P  build preset X in P<X>, logs in Plogs (default build/, env ZEPHYRION_BUILD_PREFIX);
                    in a shared checkout use e.g. --build-prefix build/yourname-
  -j N              parallel build jobs (default 2, env ZEPHYRION_JOBS)
  --no-format       skip the clang-format check
  --format-only     only run the clang-format check
  -h, --help        this text
EOF
}

default_presets=(linux-x86_64 linux-x86_64-release linux-x86_64-asan linux-x86_64-tsan linux-i386 windows-i686 windows-x86_64)
known_presets=("${default_presets[@]}")

cd "$(dirname "$0")" || exit 1
source_dir=$(pwd)
build_prefix=${ZEPHYRION_BUILD_PREFIX:-build/}
jobs=${ZEPHYRION_JOBS:-2}
check_format=1
build_presets=1
presets=()
arguments=("$@")
while [ $# -gt 0 ]; do
    case $1 in
    --build-prefix)
        build_prefix=${2:?--build-prefix needs a value}
        shift
        ;;
    -j)
        jobs=${2:?-j needs a value}
        shift
        ;;
    --no-format) check_format=0 ;;
    --format-only) build_presets=0 ;;
    -h | --help)
        usage
        exit 0
        ;;
    -*)
        echo "test.sh: unknown option $1" >&2
        usage >&2
        exit 2
        ;;
    *)
        [[ " ${known_presets[*]} " == *" $1 "* ]] || {
            echo "test.sh: unknown preset $1 (known: ${known_presets[*]})" >&2
            exit 2
        }
        presets+=("$1")
        ;;
    esac
    shift
done
[ ${#presets[@]} -gt 0 ] || presets=("${default_presets[@]}")
[ "$build_presets" -eq 1 ] || presets=()
case $build_prefix in /*) ;; *) build_prefix=$source_dir/$build_prefix ;; esac

needs() {
    local wanted=$1 preset
    for preset in "${presets[@]}"; do
        [ "$preset" = "$wanted" ] && return 0
    done
    return 1
}

i386_problem=
if [ ${#presets[@]} -gt 0 ]; then
    if ! "$source_dir/scripts/install-deps.sh" --packages-only; then
        echo "test.sh: cannot build without the packages named above" >&2
        exit 1
    fi
    if needs linux-i386 || needs windows-i686; then
        "$source_dir/scripts/enable-i386-emulation.sh" || i386_problem="this machine cannot run 32-bit x86 code"
    fi
    # Root was needed for the packages and the emulator only; the build belongs to whoever called sudo.
    if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
        exec sudo -u "$SUDO_USER" -- "$source_dir/test.sh" "${arguments[@]}"
    fi
fi

log_dir=${build_prefix}logs
mkdir -p "$log_dir" || exit 1
. "$source_dir/scripts/test-environment.sh"
. "$source_dir/scripts/test-report.sh"

run_started=$(date +%s)
trap stop_test_environment EXIT
trap 'exit 130' INT TERM

wine_problem=
if [ ${#presets[@]} -gt 0 ]; then
    start_display "$log_dir/xvfb.log" || exit 1
    if needs windows-i686 || needs windows-x86_64; then
        prepare_wine_prefix "${build_prefix}wine" "$log_dir/wineboot.log" || wine_problem="no wine prefix"
    fi
fi

for preset in "${presets[@]}"; do
    problem=
    [[ $preset == windows-* ]] && problem=$wine_problem
    [[ $preset == linux-i386 || $preset == windows-i686 ]] && [ -n "$i386_problem" ] && problem=$i386_problem
    run_preset "$preset" "${build_prefix}$preset" "$problem"
done

[ "$check_format" -eq 1 ] && check_formatting

print_summary $(($(date +%s) - run_started))
