#!/bin/bash
# Zephyrion in a real Ardour 7 session, headless: ardour_session.lua puts a drum groove on an audio track,
# inserts the plug-in as FORMAT, records its MIDI on a MIDI track and reopens the saved session. This script
# checks that the notes Ardour recorded are, frame for frame, those `zephyrion convert` finds in the same
# audio with the same parameters, and that the parameters set in the session come back after reopening it.
# Usage: ardour_session_test.sh --tool ZEPHYRION --format LV2|LXVST --plugin BUNDLE.lv2|FILE.so
set -u -o pipefail

ardour_lib=/usr/lib/ardour7
ardour_lua=/usr/bin/ardour7-lua
scanner=$ardour_lib/ardour-vst-scanner
script=$(dirname "$0")/ardour_session.lua
# Parameters that change what the plug-in finds and sends (the kicks alone, as note 36 on channel 3 at
# velocity 64), so the notes can only match if Ardour hands them to the plug-in.
settings=("Freq.Hi=0.3" "Freq.Mode=0.1" "Midi Note=0.094488" "Midi Ch.=0.133333" "Midi Vel.=0.503937")

tool='' format='' plugin=''
while [ $# -gt 0 ]; do
    case $1 in
    --tool) tool=${2:-} ;;
    --format) format=${2:-} ;;
    --plugin) plugin=${2:-} ;;
    *) break ;;
    esac
    shift 2
done
if [ $# -ne 0 ] || [ ! -x "$tool" ] || [ ! -e "$plugin" ] || [[ $format != @(LV2|LXVST) ]]; then
    echo "usage: $0 --tool ZEPHYRION --format LV2|LXVST --plugin BUNDLE.lv2|FILE.so" >&2
    exit 2
fi
for program in "$ardour_lua" "$scanner"; do
    [ -x "$program" ] || {
        echo "PROBLEM: $program is missing (Debian package ardour)"
        exit 1
    }
done
command -v sox >/dev/null || {
    echo "PROBLEM: sox is missing (Debian package sox)"
    exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# What convert finds, one line per note-on or note-off: TYPE FRAME CHANNEL NOTE VELOCITY. The session plays
# the plug-in as a host does, without Lookahead, so convert keeps the plug-in's own timing too.
events() {
    "$tool" convert "$work/demo/groove.wav" -o "$work/convert.mid" --events - --quiet --raw-timing "$@" |
        awk -F '[{}:,"]+' '{ for (i = 2; i < NF; i += 2) event[$i] = $(i + 1) }
            event["type"] ~ /^note-o/ {
                print event["type"], event["sample"], event["channel"], event["note"], event["velocity"]
            }'
}

"$tool" demo "$work/demo" --quiet >/dev/null || {
    echo "PROBLEM: zephyrion demo made no groove"
    exit 1
}
set_options=()
for setting in "${settings[@]}"; do
    set_options+=(--set "$setting")
done
if ! events "${set_options[@]}" >"$work/expected" || ! events >"$work/default"; then
    echo "PROBLEM: zephyrion convert failed"
    exit 1
fi
if ! grep -q '^note-on' "$work/expected" || cmp -s "$work/expected" "$work/default"; then
    echo "PROBLEM: the parameters make no difference to convert's notes, so the session could not show them"
    exit 1
fi

# Ardour plays the two channels from mono files, as its own import would make them.
for channel in 1 2; do
    sox "$work/demo/groove.wav" -e floating-point -b 32 "$work/channel$channel.wav" remix "$channel" \
        2>/dev/null || {
        echo "PROBLEM: sox cannot split the groove"
        exit 1
    }
done
frames=$(soxi -s "$work/channel1.wav")
# Roll half a second past the audio or the last event, whichever is later.
last=$(tail -n 1 "$work/expected" | cut -d ' ' -f 2)
roll=$(((last > frames ? last : frames) + 22050))

# Ardour keeps its settings, plug-in caches and scan results in folders of this run only. It lists the
# dummy backend only when told to, and looks for Linux VST plug-ins along plugin-path-lxvst.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_CACHE_HOME=$work/home/cache
export XDG_DATA_HOME=$work/home/data
mkdir -p "$XDG_CONFIG_HOME/ardour7" "$work/vst"
cat >"$XDG_CONFIG_HOME/ardour7/config" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="plugin-path-lxvst" value="$work/vst"/>
  </Config>
</Ardour>
EOF
if [ "$format" = LV2 ]; then
    export LV2_PATH
    LV2_PATH=$(dirname "$plugin")
else
    # Ardour takes a scan result only when it is newer than the plug-in, to the second; the copy is
    # dated a minute back so a scan in the same second still counts.
    if ! cp "$plugin" "$work/vst/zephyrion.so" || ! touch -d '1 minute ago' "$work/vst/zephyrion.so"; then
        echo "PROBLEM: cannot copy $plugin"
        exit 1
    fi
    LD_LIBRARY_PATH=$ardour_lib "$scanner" --force "$work/vst/zephyrion.so" >"$work/scan.log" 2>&1 || {
        cat "$work/scan.log"
        echo "PROBLEM: Ardour's scanner failed on $plugin"
        exit 1
    }
fi

timeout 50 "$ardour_lua" "$script" "$work/session" "$format" "$work/channel1.wav" "$work/channel2.wav" \
    "$frames" "$roll" "${settings[@]}" >"$work/ardour.log" 2>&1
status=$?
[ "$status" -eq 0 ] || {
    cat "$work/ardour.log"
    echo "PROBLEM: the Ardour session failed (ardour7-lua exit status $status)"
    exit 1
}

problems=0
sort_events() {
    LC_ALL=C sort -k 2,2n -k 1,1 -k 3,3n -k 4,4n
}
grep '^note-o' "$work/ardour.log" | sort_events >"$work/received"
sort_events <"$work/expected" >"$work/expected.sorted"
if ! diff "$work/expected.sorted" "$work/received" >"$work/difference"; then
    echo "PROBLEM: the notes Ardour recorded differ from convert's ('<' convert, '>' Ardour):"
    cat "$work/difference"
    problems=$((problems + 1))
fi
for setting in "${settings[@]}"; do
    name=${setting%=*} wanted=${setting#*=}
    actual=$(awk -v line="restored $name " 'index($0, line) == 1 { print $NF }' "$work/ardour.log")
    awk -v a="${actual:-x}" -v w="$wanted" 'BEGIN { exit !(a != "x" && a - w < 1e-5 && w - a < 1e-5) }' || {
        echo "PROBLEM: $name is '${actual:-missing}' in the reopened session, expected $wanted"
        problems=$((problems + 1))
    }
done

[ "$problems" -eq 0 ] || exit 1
echo "ok: Ardour recorded from Zephyrion $format the $(grep -c '^note-on' "$work/received") notes that" \
    "convert finds, at the same frames, and kept its ${#settings[@]} parameters"
