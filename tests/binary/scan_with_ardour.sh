#!/bin/bash
# Loads a Linux VST 2 library with Debian's Ardour scanner, as Ardour itself does before offering a plug-in,
# and checks what Ardour learnt: Zephyrion by Mardolin, ZQMV, with 2 inputs, 2 outputs, MIDI output and an editor.
# Usage: scan_with_ardour.sh FILE.so
set -u

ardour_lib=/usr/lib/ardour7
scanner=$ardour_lib/ardour-vst-scanner
file=${1:-}
[ $# -eq 1 ] || {
    echo "usage: $0 FILE.so" >&2
    exit 2
}
[ -f "$file" ] || {
    echo "PROBLEM: $file does not exist"
    exit 1
}
[ -x "$scanner" ] || {
    echo "PROBLEM: $scanner is missing (Debian package ardour)"
    exit 1
}

# The scanner writes its findings into the user's cache; give it a cache of its own.
cache=$(mktemp -d)
trap 'rm -rf "$cache"' EXIT

output=$(HOME=$cache XDG_CACHE_HOME=$cache LD_LIBRARY_PATH=$ardour_lib "$scanner" --force "$file" 2>&1)
status=$?
echo "$output"
[ "$status" -eq 0 ] || {
    echo "PROBLEM: the scanner failed on $file (exit status $status)"
    exit 1
}
info_files=("$cache"/ardour7/vst/*.v2i)
[ -f "${info_files[0]}" ] || {
    echo "PROBLEM: the scanner wrote no .v2i file for $file"
    exit 1
}
info=$(grep -o '<VST2Info [^>]*>' "${info_files[0]}")
echo "$info"
[ "$(echo "$info" | wc -l)" -eq 1 ] || {
    echo "PROBLEM: expected one plug-in in $file, the scanner found $(echo "$info" | grep -c VST2Info)"
    exit 1
}

attribute() {
    echo "$info" | sed -n "s/.* $1=\"\([^\"]*\)\".*/\1/p"
}

problems=0
expect() {
    local name=$1 wanted=$2 actual
    actual=$(attribute "$name")
    [ "$actual" = "$wanted" ] || {
        echo "PROBLEM: $name is '$actual', expected '$wanted'"
        problems=$((problems + 1))
    }
}

# The unique identifier "ZQMV", first character most significant.
expect id $(((0x5A << 24) | (0x51 << 16) | (0x4D << 8) | 0x56))
expect name Zephyrion
expect creator Mardolin
expect n_inputs 2
expect n_outputs 2
expect n_midi_outputs 1
expect has_editor 1
expect can_process_replace 1

[ "$problems" -eq 0 ] || exit 1
echo "ok: Ardour sees Zephyrion by Mardolin with 2 inputs, 2 outputs, MIDI output and an editor"
