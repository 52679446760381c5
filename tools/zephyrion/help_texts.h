// What --help and --version print.
#pragma once

#include <string_view>

namespace zcli {

// ZEPHYRION_VERSION is the project's version, handed in by the build.
inline constexpr std::string_view kVersionText = "zephyrion " ZEPHYRION_VERSION "\n";

inline constexpr std::string_view kMainHelp = R"(Usage: zephyrion COMMAND [OPTIONS]

Turns the peaks of an audio file into MIDI notes with the Zephyrion plug-in, hosted exactly as a VST 2
host would host it.

Commands:
  convert INPUT [-o OUTPUT.mid]   convert an audio file into a Standard MIDI File
  info [--plugin PATH]            show what a host sees of the plug-in
  demo [DIR]                      make a drum groove, convert it three ways, and show what was found
  validate [--plugin PATH]        put a VST 2 plug-in through a host's worst day and report what broke

Run zephyrion COMMAND --help for the options of each command.
  --help       this text
  --version    the tool's version

Exit status: 0 on success, 2 for a mistake on the command line, 1 for any other failure.
)";

inline constexpr std::string_view kConvertHelp = R"(Usage: zephyrion convert INPUT [-o OUTPUT.mid] [OPTIONS]
       zephyrion convert INPUT --band NAME... [INPUT --band NAME...]... -o OUTPUT.mid [OPTIONS]

Reads INPUT (WAV, AIFF, FLAC, Ogg or anything else libsndfile reads), feeds it to the plug-in in blocks
and writes the MIDI the plug-in sends as a Standard MIDI File (format 0; with --band, format 1 with a
track per band). Event times come from the samples the events arose on: each note on the start of the
hit that raised it (found as the plug-in's Lookahead finds it, looking 10 ms past the crossing too), or
with --raw-timing where the plug-in's level crossed into the window. After the input, silence is fed until every note has ended (at
most 60 s), and a note still sounding then is closed. Mono files feed both inputs; of more channels the
first two are used.

Outputs (each written whole or not at all):
  -o FILE.mid            the MIDI file (default: INPUT with the extension .mid)
  --events FILE          one JSON object per event; - for standard output
  --audio-out FILE.wav   the plug-in's audio output, as long as the input
  --plot FILE.png        a lane per band: its level in dBFS, its window, its notes, the true hits

Timing:
  --block N              samples per processing block, 1..65536 (default 512)
  --ppq N                ticks per quarter note, 1..32767 (default 960)
  --bpm X                tempo written into the file, 4..1000 (default 120)
  --raw-timing           notes where the level crossed into the window, as the plug-in sends them
                         live without Lookahead (a few milliseconds after the hit)

Plug-in:
  --plugin PATH          another VST 2 library (default: zephyrion.so beside this tool)
  --program N            program 0..3, selected before the parameters below (default 0)
  --set NAME=VALUE       any parameter by the name the plug-in reports (case does not matter), with the
                         value 0..1 a host sends, e.g. --set Amp.Hi=0.6; zephyrion info lists them.
                         Seven also take a value in their unit, read at the input's sample rate and set
                         to the nearest value the plug-in has (out of reach: an error naming the range):
                           Freq.Lo, Freq.Hi   the -3 dB edge of the highpass or lowpass side in the
                                              curve of --freq-mode, e.g. 120Hz, 2.5kHz
                           Amp.Lo, Amp.Hi     the window's upper or lower bound, e.g. -30dB (or dBFS)
                           Volume             the gain of the two channels' sum, e.g. -6dB
                           Falloff, Release   the hold and the level's half-life, e.g. 20ms, 0.5s
  --note NOTE            note name C0..C8 (C3 is MIDI note 60) or MIDI note number 24..120, as
                         the editor offers them (the plug-in sends at most note 100);
                         with --cc the controller number 0..127
  --channel N            MIDI channel 1..16
  --velocity N           note velocity 0..127
  --output MODE          audio output: mute, proc (the filtered, gated signal) or orig
  --freq-mode MODE       frequency window curve: linear, exponential or logarithmic
  --cc                   send control changes that follow the level instead of notes
  --velocity-from-level  velocity follows the level, from --velocity up to 127

Bands (one plug-in instance each, all fed the same audio):
  --band NAME[:KEY=VALUE,...]
                         one more band, repeatable; NAME is a kit preset (kick, snare, hihat, toms) or,
                         with settings, any name. KEYs are parameter names as --set takes them (units
                         too), or note, channel, velocity, output and freq-mode as the options above take
                         them, or bleed=keep (below), e.g. --band kick:Amp.Hi=-20dB or
                         --band ride:Freq.Lo=0.9,note=51,channel=10.
                         The options above apply to every band first, then its preset, then its KEYs.
                         Presets (General MIDI drums on channel 10, exponential, Release and Falloff 0.95):
                           kick   note 36  Freq.Hi 0.15                 Amp.Hi 0.85
                           snare  note 38  Freq.Lo 0.25, Freq.Hi 0.8    Amp.Hi 0.65
                           hihat  note 42  Freq.Lo 0.93                 Amp.Hi 0.9, bleed=keep
                           toms   note 45  Freq.Lo 0.15, Freq.Hi 0.3    Amp.Hi 0.8
                         (zephyrion info --presets shows them in Hz, dBFS and ms.) Two bands may not
                         send the same note on the same channel (with --cc: the same controller).
                         The MIDI file gets a track per band named after it (format 1), event lines a
                         "band" field, the summary two lines per band (notes found; edges and window in
                         Hz and dBFS); --plot gives each band a lane of its own; --audio-out takes one
                         band only.
  --bands FILE           more bands from a file, one a line as --band takes it (e.g. kick:Amp.Hi=0.9);
                         blank lines and lines starting with # are skipped; with stems, the file's
                         bands listen to the input before it
  --merge                all bands' notes on one track (format 0)
  --auto                 each band's window from the input itself: a first pass counts the notes
                         each band's level would give at every lower bound (Amp.Hi) from -70 dBFS up;
                         the hits are the loudest group whose count holds over at least 6 dB of
                         bounds, and the bound goes in the middle of that range. A band with
                         bleed=keep takes the group of at least 6 dB with the most notes, however
                         quiet. The kick preset's lowpass edge is left to it too: Freq.Hi 0.15 or
                         0.10, whichever gives the clear group with the fewest notes (a band that
                         sets Freq.Hi or freq-mode keeps its own). Prints the edges, the bounds, the
                         range and the options that give them again.
  --keep-bleed           every band keeps every note. By default, with two or more bands, a note that
                         another band also has within 10 ms goes to whichever band the hit is louder
                         in, as each band's hits and the other's bleed into it part (by the difference
                         of the two bands' levels in the note's first 30 ms); the summary says how many
                         notes each band gave to others. A band with bleed=keep keeps its notes but
                         still takes hits from the quieter half of the others' notes; control changes
                         are left alone.
                         (--suppress-bleed names the default.)

Stems (several inputs, one timeline, one MIDI file):
  Each INPUT is followed by the bands that listen to it, e.g.
  convert kick.wav --band kick snare.wav --band snare oh.wav --band hihat -o kit.mid
  The inputs share one sample rate; one that ends sooner goes on as silence; --plot draws their sum.

Score against the true hits:
  --reference FILE       the true hits; after the summary, each band's notes found, missed and false
                         within 25 and 50 ms, precision, recall, F-measure, and the timing within 25 ms
                         (the signed median of note minus hit, and the 95th percentile of its size).
                         CSV whose first line names the columns, seconds or sample, then note or
                         instrument (e.g. "seconds,note", then "1.5,36"), or JSON Lines, one object a
                         hit, e.g. {"sample":66150,"instrument":"kick"}. Notes as --note takes them or
                         MIDI 0..127; an instrument goes to the band of its name, or a kit preset's name
                         to the bands sending its note, a note to the bands sending it; without --band
                         every hit counts. Blank lines and lines starting with # are skipped.
  --report FILE.json     the same figures as one JSON document

  -q, --quiet            no progress bar and no notes on standard error
  --help                 this text

Examples:
  zephyrion convert drums.wav
  zephyrion convert drums.flac -o kick.mid --freq-mode exponential --set Freq.Hi=0.3 --note C1
  zephyrion convert take.wav --events - --plot take.png --velocity-from-level --velocity 40
  zephyrion convert kit.wav -o kit.mid --band kick --band snare:Amp.Hi=0.7 --band hihat
  zephyrion convert kick.wav --band kick snare.wav --band snare -o kit.mid
  zephyrion convert kit.wav --band kick:Freq.Hi=90Hz --band snare:Freq.Lo=150Hz,Amp.Hi=-12dB
)";

inline constexpr std::string_view kInfoHelp = R"(Usage: zephyrion info [--plugin PATH] [--rate HZ]
       zephyrion info --presets [--rate HZ]

Loads the plug-in and prints what a host sees: names, vendor, version, unique identifier, inputs and
outputs, flags, every parameter with its name, display and label, the programs and the canDo answers.
For Zephyrion each parameter's meaning follows: the editor's words, or the value in its unit (the
frequency edges in Hz, the window in dBFS, the gain in dB, the hold and the release in ms).

  --plugin PATH          another VST 2 library (default: zephyrion.so beside this tool)
  --rate HZ              the sample rate the meanings are read at, 1000..768000 (default 44100)
  --presets              instead, convert's kit presets: each setting as a host stores it and in its unit
  --help                 this text
)";

inline constexpr std::string_view kDemoHelp = R"(Usage: zephyrion demo [DIR] [--plugin PATH] [--quiet]

Synthesises a short drum groove (kick, snare and hi-hat at known times and strengths), converts it three
times (with the default program, which catches every hit; with a low frequency window, which catches the
kicks alone; and with a band per drum from the kit presets, scored against the groove's true hits) and
writes into DIR (default: zephyrion-demo) the groove, its true hits, and each run's MIDI file, event list
and plot. Prints a table of the hits, the notes found and the largest timing error in samples.

  --plugin PATH          another VST 2 library (default: zephyrion.so beside this tool)
  -q, --quiet            only the table
  --help                 this text
)";

inline constexpr std::string_view kSnapshotHelp =
    R"(usage: zephyrion snapshot OUT.png [--set NAME=VALUE ...] [--note-active]

Renders the editor window as a host shows it right after opening, as a PNG.
  --set NAME=VALUE  a parameter by its name (case does not matter), value 0..1 or in its unit as
                    convert takes it, read at 44100 Hz
  --note-active     a note sounds: the window display lights up
)";

} // namespace zcli
