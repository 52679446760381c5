-- Zephyrion in a real Ardour session, run by ardour_session_test.sh with ardour7-lua on the "None (Dummy)"
-- backend: the audio on a track, the plug-in inserted on it, its MIDI recorded on a MIDI track, the
-- parameters set in the session saved and read back after reopening it.
--
-- Usage: ardour7-lua ardour_session.lua SESSION_DIR FORMAT LEFT.wav RIGHT.wav FRAMES ROLL NAME=VALUE...
--   FORMAT      LV2 or LXVST, the plug-in type Ardour inserts Zephyrion as
--   LEFT, RIGHT the audio's two channels as mono files of FRAMES frames at 44.1 kHz
--   ROLL        how many frames after the audio's start the transport rolls, so every note has ended
--   NAME=VALUE  a parameter by the plug-in's name for it, value 0..1
-- Prints one line per MIDI event recorded, "note-on FRAME CHANNEL NOTE VELOCITY" or "note-off ...", with
-- FRAME counted from the audio's first frame and CHANNEL from 1, then "restored NAME VALUE" for every
-- parameter as the reopened session has it. Any failure is a Lua error, which ends ardour7-lua with status 1.

local session_dir, format, left_file, right_file = arg[1], arg[2], arg[3], arg[4]
local frames, roll = tonumber(arg[5]), tonumber(arg[6])
local settings = {}
for i = 7, #arg do
    local name, value = arg[i]:match("^(.-)=([%d.]+)$")
    assert(name, "not NAME=VALUE: " .. arg[i])
    settings[#settings + 1] = { name = name, value = tonumber(value) }
end
assert(frames and roll and #settings > 0,
    "usage: ardour_session.lua SESSION_DIR FORMAT LEFT RIGHT FRAMES ROLL NAME=VALUE...")
local plugin_type = assert(ARDOUR.PluginType[format], "unknown plug-in type " .. tostring(format))

local rate = 44100
local session_name = "zephyrion"
-- The transport fades its start in; the audio starts a second later so that fade cannot touch it.
local audio_start = rate
-- One tick of the tempo map is one frame at this tempo (1920 ticks a beat), so the MIDI Ardour records,
-- which it keeps in beats and ticks, keeps every event's exact frame.
local tempo = 60 * rate / Temporal.ticks_per_beat

local function wait_until(what, condition)
    local deadline = ARDOUR.LuaAPI.monotonic_time() + 30e6
    while not condition() do
        assert(ARDOUR.LuaAPI.monotonic_time() < deadline, "timed out waiting for " .. what)
        ARDOUR.LuaAPI.usleep(5000)
    end
end

local function copy_file(from, to)
    local input = assert(io.open(from, "rb"))
    local data = input:read("a")
    input:close()
    local output = assert(io.open(to, "wb"))
    output:write(data)
    output:close()
end

local function zephyrion_on(track)
    for i = 0, 100 do
        local proc = track:nth_plugin(i)
        if proc:isnil() then
            break
        end
        local plugin = proc:to_insert():plugin(0)
        if plugin:name() == "Zephyrion" and plugin:get_info().type == plugin_type then
            return proc
        end
    end
    error("no Zephyrion " .. format .. " plug-in on track " .. track:name())
end

-- The n that LuaAPI's parameter calls take for the control Zephyrion names NAME.
local function control_number(proc, name)
    local plugin = proc:to_insert():plugin(0)
    local n = 0
    for i = 0, plugin:parameter_count() - 1 do
        if plugin:parameter_is_control(i) then
            if plugin:parameter_is_input(i) and plugin:parameter_label(i) == name then
                return n
            end
            n = n + 1
        end
    end
    error("Zephyrion " .. format .. " has no parameter " .. name)
end

local backend = assert(AudioEngine:set_backend("None (Dummy)", "", ""), "no None (Dummy) backend")
-- The dummy backend keeps no real time: ten times faster saves seconds and leaves the disk thread ample time.
backend:set_driver("10x Speed")
backend:set_device_name("Silence")

-- Importing audio is the editor's, which ardour7-lua does not have. A bounce of the empty track makes a
-- region of the audio's length with two files of its own in the session, and the audio replaces their
-- contents while the session is closed.
assert(create_session(session_dir, session_name, rate), "cannot create the session")
local map = Temporal.TempoMap.fetch_writable()
map:set_tempo(Temporal.Tempo(tempo, tempo, 4), Temporal.timepos_t(0))
Temporal.TempoMap.update(map)
map = nil
local drums = Session:new_audio_track(2, 2, nil, 1, "Drums", ARDOUR.PresentationInfo.max_order,
    ARDOUR.TrackMode.Normal, false):front()
-- As Ardour's window makes its tracks.
drums:set_strict_io(true)
local region = drums:bounce_range(0, frames, ARDOUR.InterThreadInfo(), drums:main_outs(), false, "audio",
    false)
assert(not region:isnil(), "the bounce made no region")
region:to_audioregion():set_fade_in_active(false)
region:to_audioregion():set_fade_out_active(false)
drums:playlist():add_region(region, Temporal.timepos_t(audio_start), 1, false, 0, 0, false)
local region_files = { region:source(0):to_filesource():path(), region:source(1):to_filesource():path() }
region = nil
Session:save_state("", false, false, false, false, false)
close_session()
copy_file(left_file, region_files[1])
copy_file(right_file, region_files[2])

assert(load_session(session_dir, session_name), "cannot load the session")

drums = Session:route_by_name("Drums"):to_track()
local proc = ARDOUR.LuaAPI.new_plugin(Session, "Zephyrion", plugin_type, "")
assert(not proc:isnil(), "Ardour has no " .. format .. " plug-in named Zephyrion")
assert(drums:add_processor_by_index(proc, 0, nil, true) == 0, "cannot insert Zephyrion on the track")
for _, setting in ipairs(settings) do
    assert(ARDOUR.LuaAPI.set_processor_param(proc, control_number(proc, setting.name), setting.value),
        "cannot set " .. setting.name)
end
-- The routing the README gives: Strict I/O drops the MIDI of a plug-in that is not an instrument, and
-- Flexible I/O gives the track a MIDI output for it.
assert(drums:n_outputs():n_midi() == 0, "Strict I/O passes Zephyrion's MIDI now; the README is out of date")
drums:set_strict_io(false)
assert(drums:n_outputs():n_midi() == 1, "Flexible I/O gives the track no MIDI output for Zephyrion")

local notes = Session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
    ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1), true, ARDOUR.PluginInfo(), nil, nil, 1, "Notes",
    ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, false, false):front()
notes:input():disconnect_all(nil)
assert(drums:output():midi(0):connect(notes:input():midi(0):name()) == 0, "cannot connect the MIDI track")

notes:rec_enable_control():set_value(1, PBD.GroupControlDisposition.NoGroup)
Session:maybe_enable_record(false)
Session:request_locate(0, false, ARDOUR.LocateTransportDisposition.MustStop,
    ARDOUR.TransportRequestSource.TRS_UI)
wait_until("the locate", function() return Session:transport_sample() == 0 end)
Session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
wait_until("the roll", function() return Session:transport_sample() >= audio_start + roll end)
Session:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
wait_until("the stop", function() return Session:transport_stopped() end)
wait_until("the recording", function() return notes:playlist():region_list():size() > 0 end)
assert(notes:playlist():region_list():size() == 1, "more than one region recorded")
local recorded
for region in notes:playlist():region_list():iter() do
    recorded = region
end

local function ticks(beats)
    local whole, part = beats:str():match("^(%d+):(%d+)$")
    return tonumber(whole) * Temporal.ticks_per_beat + tonumber(part)
end
local function frame(tick)
    return Temporal.timepos_t.from_ticks(tick):samples() - audio_start
end
local origin = recorded:position():ticks() - recorded:start():ticks()
for note in ARDOUR.LuaAPI.note_list(recorded:to_midiregion():model()):iter() do
    local on = origin + ticks(note:time())
    print(string.format("note-on %d %d %d %d", frame(on), note:channel() + 1, note:note(), note:velocity()))
    print(string.format("note-off %d %d %d %d", frame(on + ticks(note:length())), note:channel() + 1,
        note:note(), note:off_velocity()))
end
recorded, proc, drums, notes = nil, nil, nil, nil

Session:save_state("", false, false, false, false, false)
close_session()
assert(load_session(session_dir, session_name), "cannot reopen the session")
proc = zephyrion_on(Session:route_by_name("Drums"):to_track())
for _, setting in ipairs(settings) do
    local value = ARDOUR.LuaAPI.get_processor_param(proc, control_number(proc, setting.name), true)
    print(string.format("restored %s %.6f", setting.name, value))
end
proc = nil
close_session()
