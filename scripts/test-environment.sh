# Sourced by test.sh: the X display and the wine prefix that the tests run in, and their cleanup.

# The window tests need a display, under wine too. -displayfd makes Xvfb pick a free display number itself
# and report it once it accepts clients, so parallel runs on one machine never collide.
start_display() {
    local log=$1 number_file number=
    command -v Xvfb >/dev/null || {
        echo "test.sh: Xvfb is missing (Debian package xvfb)" >&2
        return 1
    }
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >"$log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 300); do
        number=$(head -n 1 "$number_file")
        [ -n "$number" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$number_file"
    [ -n "$number" ] || {
        echo "test.sh: Xvfb did not start (see $log)" >&2
        return 1
    }
    export DISPLAY=:$number
    echo "test.sh: X display $DISPLAY (Xvfb, pid $xvfb_pid)"
}

# One 64-bit prefix serves both Windows presets: 32-bit programs run in it as well. A prefix takes minutes to
# create under emulation, so it is kept between runs; the stamp file marks one that was finished.
prepare_wine_prefix() {
    local prefix=$1 log=$2
    export WINEPREFIX=$prefix WINEDEBUG=-all
    # No .NET or HTML engine: their installers would wait for a click on the invisible display.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    local ready=$prefix/.zephyrion-ready
    if [ -f "$ready" ]; then
        echo "test.sh: wine prefix $prefix"
        return 0
    fi
    # What an interrupted run left behind is not to be trusted.
    rm -rf "$prefix"
    echo "test.sh: creating wine prefix $prefix (about 3 minutes under emulation)"
    local started=$SECONDS
    if ! WINEARCH=win64 timeout 900 /usr/lib/wine/wine64 wineboot --init >"$log" 2>&1; then
        echo "test.sh: wineboot failed or took longer than 15 minutes (see $log)" >&2
        return 1
    fi
    if ! timeout 300 wineserver -w; then
        echo "test.sh: the wine server of $prefix did not finish setting up the prefix" >&2
        return 1
    fi
    touch "$ready"
    echo "test.sh: wine prefix ready after $((SECONDS - started)) s"
}

stop_test_environment() {
    [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
    if [ -n "${xvfb_pid:-}" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    return 0
}
