// Writes the bundle's Turtle files from the parameter table, at build time, so the plug-in's description
// has no list of its own: manifest.ttl, zephyrion.ttl (the plug-in and its editor) and presets.ttl.
//
// usage: zephyrion_lv2_describe OUTPUT_DIR PLUGIN_BINARY UI_BINARY
#include <charconv>
#include <cstdio>
#include <fstream>
#include <span>
#include <sstream>
#include <string>
#include <string_view>

#include "editor/EditorWords.h"
#include "lv2/Lv2Ports.h"
#include "plugin/engine/HitAligner.h"
#include "plugin/parameters.h"

namespace zephyrion::lv2 {
namespace {

constexpr std::string_view kPrefixes = R"(@prefix atom: <http://lv2plug.in/ns/ext/atom#> .
@prefix doap: <http://usefulinc.com/ns/doap#> .
@prefix foaf: <http://xmlns.com/foaf/0.1/> .
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix midi: <http://lv2plug.in/ns/ext/midi#> .
@prefix opts: <http://lv2plug.in/ns/ext/options#> .
@prefix param: <http://lv2plug.in/ns/ext/parameters#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .
@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .
@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .
@prefix units: <http://lv2plug.in/ns/extensions/units#> .
@prefix urid: <http://lv2plug.in/ns/ext/urid#> .

)";

// The shortest decimal that reads back as the same float, always with a point, as Turtle's decimals have.
std::string decimal(float value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    std::string written(text, result.ptr);
    return written.find('.') == std::string::npos ? written + ".0" : written;
}

std::string presetUri(int number) {
    char text[16]; // room for any int: the compiler cannot know the numbers are 1..4
    std::snprintf(text, sizeof text, "%02d", number);
    return std::string(kPluginUri) + "#preset" + text;
}

std::string presetName(int number) {
    char text[32];
    std::snprintf(text, sizeof text, "Init Preset %02d", number);
    return text;
}

std::span<const std::string_view> stepWords(std::int32_t index) {
    return index == kOutMode ? std::span<const std::string_view>(editor::outModeNames)
                             : std::span<const std::string_view>(editor::freqModeNames);
}

void writePort(std::ostream& out, std::uint32_t index, std::string_view types, std::string_view symbol,
               std::string_view name, std::string_view rest) {
    out << "    [\n        a " << types << " ;\n        lv2:index " << index << " ;\n        lv2:symbol \""
        << symbol << "\" ;\n        lv2:name \"" << name << '"' << rest << "\n    ]";
}

void writeParameterPort(std::ostream& out, const ParameterInfo& parameter) {
    std::ostringstream rest;
    rest << " ;\n        lv2:default " << decimal(parameter.initial)
         << " ;\n        lv2:minimum 0.0 ;\n        lv2:maximum 1.0";
    if (parameter.kind == ParameterKind::Switch) {
        rest << " ;\n        lv2:portProperty lv2:toggled";
    } else if (parameter.kind == ParameterKind::ThreeStep) {
        rest << " ;\n        lv2:portProperty lv2:enumeration ;\n        lv2:scalePoint";
        const auto words = stepWords(parameter.index);
        for (std::size_t step = 0; step < words.size(); ++step) {
            rest << (step == 0 ? " " : " ,\n            ") << "[ rdfs:label \"" << words[step]
                 << "\" ; rdf:value " << decimal(static_cast<float>(step) / 10.0f) << " ]";
        }
    }
    writePort(out, parameterPort(parameter.index), "lv2:InputPort, lv2:ControlPort",
              portSymbol(parameter.name), parameter.name, rest.str());
}

void writePlugin(std::ostream& out, std::string_view pluginBinary, std::string_view uiBinary) {
    out << kPrefixes;
    out << '<' << kPluginUri << R"(>
    a lv2:Plugin, lv2:AnalyserPlugin, doap:Project ;
    doap:name "Zephyrion" ;
    doap:license <http://opensource.org/licenses/MIT> ;
    doap:maintainer [
        foaf:name "Mardolin" ;
        foaf:homepage <https://zephyrion.example.org/> ;
        foaf:mbox <mailto:zephyrion@example.org>
    ] ;
    rdfs:comment "Turns audio peaks within an amplitude and frequency window into MIDI notes or control changes." ;
    lv2:minorVersion 0 ;
    lv2:microVersion 0 ;
    lv2:binary <)"
        << pluginBinary << R"(> ;
    lv2:requiredFeature urid:map ;
    lv2:optionalFeature lv2:hardRTCapable ;
    ui:ui <)"
        << kUiUri << "> ;\n    lv2:port\n";
    writePort(out, kInputLeft, "lv2:InputPort, lv2:AudioPort", "in_left", "In Left", "");
    out << ",\n";
    writePort(out, kInputRight, "lv2:InputPort, lv2:AudioPort", "in_right", "In Right", "");
    out << ",\n";
    writePort(out, kOutputLeft, "lv2:OutputPort, lv2:AudioPort", "out_left", "Out Left", "");
    out << ",\n";
    writePort(out, kOutputRight, "lv2:OutputPort, lv2:AudioPort", "out_right", "Out Right", "");
    out << ",\n";
    writePort(out, kMidiOut, "lv2:OutputPort, atom:AtomPort", "midi_out", "MIDI Out",
              " ;\n        atom:bufferType atom:Sequence ;\n        atom:supports midi:MidiEvent");
    for (const ParameterInfo& parameter : kParameters) {
        out << ",\n";
        writeParameterPort(out, parameter);
    }
    const std::string_view meterRange = " ;\n        lv2:minimum 0.0 ;\n        lv2:maximum 1.0";
    out << ",\n";
    writePort(out, kMeterLevelPort, "lv2:OutputPort, lv2:ControlPort", "meter_level", "Meter Level",
              meterRange);
    out << ",\n";
    writePort(out, kMeterPeakPort, "lv2:OutputPort, lv2:ControlPort", "meter_peak", "Meter Peak", meterRange);
    out << ",\n";
    writePort(out, kNoteActivePort, "lv2:OutputPort, lv2:ControlPort", "note_active", "Note Active",
              std::string(meterRange) + " ;\n        lv2:portProperty lv2:toggled");
    out << ",\n";
    // The host delays the other tracks by this much while Lookahead is on.
    std::string latencyRest =
        " ;\n        lv2:designation lv2:latency ;\n        lv2:portProperty lv2:reportsLatency, "
        "lv2:integer ;\n        lv2:minimum 0 ;\n        lv2:maximum ";
    latencyRest.append(std::to_string(HitAligner::kMaxLatency)).append(" ;\n        units:unit units:frame");
    writePort(out, kLatencyPort, "lv2:OutputPort, lv2:ControlPort", "latency", "Latency", latencyRest);
    out << " .\n\n";

    out << '<' << kUiUri << R"(>
    a ui:X11UI ;
    ui:binary <)"
        << uiBinary << R"(> ;
    lv2:requiredFeature ui:idleInterface, ui:parent ;
    lv2:optionalFeature ui:noUserResize, ui:resize, urid:map, opts:options ;
    opts:supportedOption param:sampleRate ;
    lv2:extensionData ui:idleInterface ;
    ui:portNotification )";
    const char* notified[] = {"meter_level", "meter_peak", "note_active"};
    for (int i = 0; i < 3; ++i) {
        out << (i == 0 ? "" : " , ") << "[ ui:plugin <" << kPluginUri << "> ; lv2:symbol \"" << notified[i]
            << "\" ; ui:protocol ui:floatProtocol ]";
    }
    out << " .\n";
}

void writePresets(std::ostream& out) {
    out << kPrefixes;
    for (int number = 1; number <= kNumPrograms; ++number) {
        out << '<' << presetUri(number) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << kPluginUri
            << "> ;\n    rdfs:label \"" << presetName(number) << "\" ;\n    lv2:port ";
        for (const ParameterInfo& parameter : kParameters) {
            out << (parameter.index == 0 ? "" : " ,\n        ") << "[ lv2:symbol \""
                << portSymbol(parameter.name) << "\" ; pset:value " << decimal(parameter.initial) << " ]";
        }
        out << " .\n\n";
    }
}

void writeManifest(std::ostream& out, std::string_view pluginBinary) {
    out << kPrefixes;
    out << '<' << kPluginUri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << pluginBinary
        << "> ;\n    rdfs:seeAlso <zephyrion.ttl> .\n\n";
    for (int number = 1; number <= kNumPrograms; ++number) {
        out << '<' << presetUri(number) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << kPluginUri
            << "> ;\n    rdfs:seeAlso <presets.ttl> .\n\n";
    }
}

template <typename Writer> bool writeFile(const std::string& path, Writer writer) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    writer(out);
    out.close();
    if (!out) {
        std::fprintf(stderr, "zephyrion_lv2_describe: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace
} // namespace zephyrion::lv2

int main(int argc, char** argv) {
    using namespace zephyrion::lv2;
    if (argc != 4) {
        std::fprintf(stderr, "usage: zephyrion_lv2_describe OUTPUT_DIR PLUGIN_BINARY UI_BINARY\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const std::string_view pluginBinary = argv[2];
    const std::string_view uiBinary = argv[3];
    const bool written =
        writeFile(dir + "manifest.ttl", [&](std::ostream& out) { writeManifest(out, pluginBinary); }) &&
        writeFile(dir + "zephyrion.ttl",
                  [&](std::ostream& out) { writePlugin(out, pluginBinary, uiBinary); }) &&
        writeFile(dir + "presets.ttl", [](std::ostream& out) { writePresets(out); });
    return written ? 0 : 1;
}
