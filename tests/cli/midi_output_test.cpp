// The MIDI file and the JSON lines, as the tool's writers make them, read back independently.
#include "tests/cli/smf_reader.h"
#include "tools/zephyrion/event_json.h"
#include "tools/zephyrion/smf_writer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zcli_test {
namespace {

using zcli::MidiEvent;

TEST(CliSmfWriter, HeaderTempoAndEndOfTrack) {
    const zcli::SmfTiming timing{480, 120.0, 48000.0};
    const SmfFile file = parseSmf(zcli::encodeSmf({}, timing));
    EXPECT_EQ(file.format, 0);
    EXPECT_EQ(file.tracks, 1);
    EXPECT_EQ(file.division, 480);
    EXPECT_EQ(file.tempo, 500000);
    EXPECT_TRUE(file.endOfTrack);
    EXPECT_TRUE(file.events.empty());
    // The slowest tempo still fits the event's three bytes.
    EXPECT_EQ(parseSmf(zcli::encodeSmf({}, {96, zcli::kMinBpm, 44100.0})).tempo, 15000000);
}

TEST(CliSmfWriter, TicksComeFromEachEventsOwnSample) {
    const zcli::SmfTiming timing{960, 133.0, 44100.0};
    std::vector<MidiEvent> events;
    for (std::int64_t position = 0; position < 40'000'000; position += 1'234'567) {
        events.push_back({position, 0x90, 60, 100});
    }
    const SmfFile file = parseSmf(zcli::encodeSmf(events, timing));
    ASSERT_EQ(file.events.size(), events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        const long double exact = events[i].position * 960.0L * 133.0L / (60.0L * 44100.0L);
        EXPECT_EQ(file.events[i].tick, static_cast<std::int64_t>(std::nearbyint(exact))) << i;
        EXPECT_EQ(zcli::ticksAt(events[i].position, timing), file.events[i].tick);
    }
}

TEST(CliSmfWriter, LongGapsAndEveryKindOfChannelMessage) {
    const zcli::SmfTiming timing{960, 120.0, 44100.0};
    // 2^21 and 2^28 - 1 ticks need three and four bytes of variable length.
    const std::int64_t threeBytes = 2'097'152LL * 60 * 44100 / (960 * 120);
    const std::int64_t fourBytes = threeBytes + 268'435'455LL * 60 * 44100 / (960 * 120);
    const std::vector<MidiEvent> events{
        {0, 0x9F, 36, 127},          {threeBytes, 0x8F, 36, 0}, {fourBytes, 0xB3, 7, 99},
        {fourBytes, 0xC1, 5, 0},     {fourBytes, 0xF8, 0, 0},   {fourBytes, 0xE0, 0x7F, 0x7F},
        {fourBytes, 0x90, 200, 255}, // data bytes keep to seven bits
    };
    const SmfFile file = parseSmf(zcli::encodeSmf(events, timing));
    ASSERT_EQ(file.events.size(), 6u) << "the clock message is not a channel message and is left out";
    EXPECT_EQ(file.events[1].tick, 2'097'152);
    EXPECT_EQ(file.events[2].tick, 2'097'152 + 268'435'455LL);
    EXPECT_EQ(file.events[2].status, 0xB3);
    EXPECT_EQ(file.events[2].data2, 99);
    EXPECT_EQ(file.events[3].status, 0xC1);
    EXPECT_EQ(file.events[3].data1, 5);
    EXPECT_EQ(file.events[4].status, 0xE0);
    EXPECT_EQ(file.events[5].data1, 200 & 0x7F);
    EXPECT_EQ(file.events[5].data2, 255 & 0x7F);
}

TEST(CliEventJson, FieldsForNotesAndControllers) {
    EXPECT_EQ(zcli::eventJson({4410, 0x9F, 60, 127}, 44100.0),
              R"({"sample":4410,"time":0.100000,"type":"note-on","channel":16,"note":60,"velocity":127})");
    EXPECT_EQ(zcli::eventJson({48000, 0x80, 36, 0}, 48000.0),
              R"({"sample":48000,"time":1.000000,"type":"note-off","channel":1,"note":36,"velocity":0})");
    EXPECT_EQ(
        zcli::eventJson({1, 0xB0, 7, 64}, 44100.0),
        R"({"sample":1,"time":0.000023,"type":"control-change","channel":1,"controller":7,"value":64})");
    EXPECT_EQ(zcli::eventJson({0, 0xC2, 9, 0}, 44100.0),
              R"({"sample":0,"time":0.000000,"type":"program-change","channel":3,"program":9})");
    // A band's name is the user's text: quotes, backslashes and control characters stay valid JSON.
    EXPECT_EQ(
        zcli::eventJson({0, 0x99, 38, 90}, 44100.0, "a \"b\"\\\t"),
        R"({"sample":0,"time":0.000000,"band":"a \"b\"\\\u0009","type":"note-on","channel":10,"note":38,)"
        R"("velocity":90})");
}

} // namespace
} // namespace zcli_test
