#include "tests/editor/RealWindowScenarios.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "ui/png/PngWriter.h"

namespace editortest {
namespace {

constexpr ui::Color kOlive = ui::rgb(51, 51, 0);
constexpr ui::Color kYellow = ui::rgb(255, 255, 0);
constexpr ui::Color kMeterCover = ui::rgb(45, 25, 69);
constexpr int kDisplayX = 114 + 50;
constexpr int kDisplayY = 64 + 20;

} // namespace

bool RealWindowHost::idleUntil(const std::function<bool()>& done) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        idleOnce();
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool RealWindowHost::automated(vst::VstInt32 index, float value) const {
    for (const vsthost::CallRecord& call : plugin->calls()) {
        if (call.opcode == vst::audioMasterAutomate && call.index == index && call.opt == value) {
            return true;
        }
    }
    return false;
}

void RealWindowHost::process(const testsupport::Signal& mono) {
    const vsthost::Channels inputs = testsupport::stereo(mono);
    vsthost::Channels outputs = testsupport::silentStereo(mono.size());
    plugin->processReplacing(inputs, outputs, 512);
}

void RealWindowHost::keepScreenshot(const std::string& name) {
    const char* dir = std::getenv("ZEPHYRION_SNAPSHOT_DIR");
    std::string error;
    EXPECT_TRUE(ui::png::writeFile((dir != nullptr ? std::string(dir) + "/" : testing::TempDir()) + name,
                                   screenshot(), error))
        << error;
}

void displayLightsAndMeterMoves(RealWindowHost& host, const std::string& screenshotName) {
    ASSERT_TRUE(host.idleUntil([&] { return host.pixel(kDisplayX, kDisplayY) == kOlive; }))
        << "the display never appeared";
    host.process(testsupport::burst(8192, 100, 6000, 800.0, 44100.0, 0.9f));
    ASSERT_TRUE(host.idleUntil([&] { return host.pixel(kDisplayX, kDisplayY) == kYellow; }));
    EXPECT_NE(host.pixel(27, 150), kMeterCover) << "the meter shows no level";
    host.keepScreenshot(screenshotName);
    const testsupport::Signal quiet(8192, 0.0f);
    bool fell = false;
    for (int block = 0; block < 200 && !fell; ++block) {
        host.process(quiet);
        host.idleOnce();
        fell = host.pixel(27, 150) == kMeterCover;
    }
    EXPECT_TRUE(fell) << "the meter never fell back";
    EXPECT_TRUE(host.idleUntil([&] { return host.pixel(kDisplayX, kDisplayY) == kOlive; }));
}

void pointerReachesTheHost(RealWindowHost& host, const std::string& screenshotName) {
    ASSERT_TRUE(host.idleUntil([&] { return host.pixel(kDisplayX, kDisplayY) == kOlive; }));
    host.plugin->clearRecords();
    // The volume slider's handle from the middle to the bottom.
    host.moveTo(14, 110, false);
    host.press(14, 110);
    host.moveTo(14, 154, true);
    host.release(14, 154);
    EXPECT_TRUE(host.idleUntil([&] { return host.automated(0, 1.0f); }));
    EXPECT_TRUE(host.idleUntil([&] { return host.pixel(11, 155) == ui::rgb(200, 200, 0); }));
    // The note label five steps up, from "C 3" to "F 3".
    host.moveTo(262, 93, false);
    host.press(262, 93);
    host.moveTo(262, 83, true);
    host.release(262, 83);
    EXPECT_TRUE(host.idleUntil([&] { return host.automated(5, 41.0f / 127.0f); }));
    // One left click on the output mode: "Proc." becomes "Orig.".
    host.moveTo(258, 180, false);
    host.press(258, 180);
    host.release(258, 180);
    EXPECT_TRUE(host.idleUntil([&] { return host.automated(9, 0.2f); }));
    host.keepScreenshot(screenshotName);
    EXPECT_FLOAT_EQ(host.plugin->getParameter(0), 1.0f);
    EXPECT_FLOAT_EQ(host.plugin->getParameter(9), 0.2f);
}

} // namespace editortest
