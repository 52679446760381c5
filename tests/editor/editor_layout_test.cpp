#include <array>
#include <cstdlib>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "editor/EditorLayout.h"
#include "editor/EditorSnapshot.h"
#include "editor/uEditor.h"
#include "ui/platform/headless/HeadlessWindow.h"

namespace {

using editor::TPluginEditorWindow;
using ui::platform::headless::HeadlessWindow;

HeadlessWindow& screenOf(TPluginEditorWindow& window) {
    HeadlessWindow* screen = HeadlessWindow::from(window.nativeWindow());
    EXPECT_NE(screen, nullptr);
    return *screen;
}

// Where the tests leave their pictures: ZEPHYRION_SNAPSHOT_DIR when set, else the test's temporary folder.
std::string snapshotPath(const std::string& name) {
    const char* dir = std::getenv("ZEPHYRION_SNAPSHOT_DIR");
    return (dir != nullptr ? std::string(dir) + "/" : testing::TempDir()) + name;
}

TEST(EditorLayout, EveryControlSitsWhereTheTableSays) {
    TPluginEditorWindow window(nullptr);
    EXPECT_EQ(window.width(), 313);
    EXPECT_EQ(window.height(), 226);
    for (const editor::ControlSpec& spec : editor::kControls) {
        SCOPED_TRACE(std::string(spec.name));
        ui::TControl* control = window.controlNamed(spec.name);
        ASSERT_NE(control, nullptr);
        const int top = spec.name == "about" ? editor::kAboutShownTop : spec.box.top;
        EXPECT_EQ(control->left(), spec.box.left);
        EXPECT_EQ(control->top(), top);
        if (!spec.autoSize) {
            EXPECT_EQ(control->width(), spec.box.width);
            EXPECT_EQ(control->height(), spec.box.height);
        }
        EXPECT_EQ(control->visible(), spec.visible);
        const ui::Cursor cursor = spec.cursor == editor::PointerShape::Hand     ? ui::crHandPoint
                                  : spec.cursor == editor::PointerShape::UpDown ? ui::crSizeNS
                                                                                : ui::crDefault;
        EXPECT_EQ(control->cursor(), cursor);
        const std::string parent = control->parent() == &window ? "" : "nested";
        EXPECT_EQ(parent.empty(), spec.parent.empty());
    }
    EXPECT_EQ(window.controlNamed("nothing"), nullptr);
}

TEST(EditorLayout, InitialContentAndSliderSettings) {
    TPluginEditorWindow window(nullptr);
    const std::map<std::string, std::string> texts{{"d", "100%"},       {"fm", "X"},    {"root", "C#3"},
                                                   {"ch", "16"},        {"vel", "127"}, {"setqmode", "lin"},
                                                   {"Label7", "Label7"}};
    for (const auto& [name, text] : texts) {
        EXPECT_EQ(static_cast<ui::TLabel*>(window.controlNamed(name))->caption(), text) << name;
    }
    EXPECT_EQ(window.Label3.caption(), "Zephyrion - version 2.0");
    EXPECT_EQ(window.Label1.lines().size(), 3u);
    EXPECT_EQ(window.Label2.lines().size(), 2u);
    EXPECT_EQ(window.Label5.caption(), editor::kContactAddress);
    // Auto-sized labels keep their left edge and grow to the right with their text.
    const int shortWidth = window.root.width();
    window.root.setCaption("127");
    EXPECT_EQ(window.root.left(), 257);
    window.root.setCaption("C#3 and more");
    EXPECT_GT(window.root.width(), shortWidth);

    const std::array<std::pair<editor::TGaugeBar*, int>, 7> bars{{{&window.bfalloff, 0},
                                                                  {&window.bvol, 0},
                                                                  {&window.bthresh, 100},
                                                                  {&window.GaugeBar2, 0},
                                                                  {&window.GaugeBar1, 10},
                                                                  {&window.GaugeBar3, 100},
                                                                  {&window.brel, 0}}};
    for (auto [bar, position] : bars) {
        EXPECT_EQ(bar->position(), position);
        EXPECT_EQ(bar->min(), 0);
        EXPECT_EQ(bar->max(), 100);
        EXPECT_EQ(bar->model().handleLength(), 12);
        EXPECT_EQ(bar->color(), ui::rgb(69, 69, 69));
    }
    EXPECT_EQ(window.bvol.handleColor(), ui::rgb(200, 200, 0));
    EXPECT_EQ(window.GaugeBar1.handleColor(), ui::rgb(215, 0, 215));
    EXPECT_EQ(window.GaugeBar1.kind(), editor::BarKind::Horizontal);
    EXPECT_TRUE(window.Updater.enabled());
    EXPECT_EQ(window.Updater.interval(), 1000);
    EXPECT_FALSE(window.formShown);
}

TEST(EditorLayout, StackingDecidesWhichControlThePointerFinds) {
    TPluginEditorWindow window(nullptr);
    auto at = [&](int x, int y) { return window.controlAt({x, y}); };
    EXPECT_EQ(at(5, 5), &window.Image2);
    EXPECT_EQ(at(200, 210), &window.Image3);
    EXPECT_EQ(at(14, 120), &window.bvol);
    EXPECT_EQ(at(150, 110), &window.Image321);
    EXPECT_EQ(at(25, 80), &window.Image325);
    EXPECT_EQ(at(25, 66 + 33), &window.peak1);
    EXPECT_EQ(at(260, 78), &window.bg);
    window.Image6.setVisible(true);
    EXPECT_EQ(at(260, 78), &window.Image6);
    EXPECT_EQ(at(20, 210), &window.d);

    window.about.setVisible(true);
    auto inAbout = [&](ui::TControl* control) {
        for (; control != nullptr; control = control->parent()) {
            if (control == &window.about) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(inAbout(at(100, 100))); // over GaugeBar2
    EXPECT_TRUE(inAbout(at(150, 110))); // over the display
    EXPECT_TRUE(inAbout(at(290, 180))); // over the output-mode box
    EXPECT_EQ(at(100, 185), &window.Image1);
    EXPECT_EQ(at(14, 120), &window.bvol);
    EXPECT_EQ(at(5, 5), &window.Image2);
    EXPECT_EQ(at(20, 210), &window.d);
}

TEST(EditorLayout, AboutPanelOpensFromTheTitleAndClosesOnItsPicture) {
    TPluginEditorWindow window(nullptr);
    HeadlessWindow& screen = screenOf(window);
    screen.press(100, 10);
    screen.release(100, 10);
    EXPECT_TRUE(window.about.visible());
    // Clicks on the panel's text fall through to nothing; the panel stays.
    screen.press(150, 100);
    screen.release(150, 100);
    EXPECT_TRUE(window.about.visible());
    // A press on the display under the panel never reaches the display's neighbours.
    const int freqLo = window.GaugeBar1.position();
    screen.press(120, 52);
    screen.release(120, 52);
    EXPECT_EQ(window.GaugeBar1.position(), freqLo);
    EXPECT_TRUE(window.about.visible());
    screen.press(60, 180);
    screen.release(60, 180);
    EXPECT_FALSE(window.about.visible());
    screen.press(200, 215);
    screen.release(200, 215);
    EXPECT_TRUE(window.about.visible());
    screen.press(200, 215);
    screen.release(200, 215);
    EXPECT_FALSE(window.about.visible());
}

TEST(EditorSnapshot, AboutPanelShowsItsTextOverItsPicture) {
    TPluginEditorWindow window(nullptr);
    window.about.setVisible(true);
    const ui::PixelMap& frame = editor::paintedFrame(window);
    std::string error;
    EXPECT_TRUE(editor::writeSnapshot(window, snapshotPath("editor-about.png"), error)) << error;
    auto count = [&](ui::Rect area, ui::Color colour) {
        int found = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                found += frame.pixel(x, y) == colour ? 1 : 0;
            }
        }
        return found;
    };
    // Title in fuchsia, the address in yellow exactly over the second line of Label2, the rest silver.
    EXPECT_GT(count(ui::Rect::fromSize(20 + 73, 40 + 7, 133, 15), ui::rgb(255, 0, 255)), 20);
    EXPECT_GT(count(ui::Rect::fromSize(20 + 89, 40 + 87, 104, 14), ui::rgb(215, 215, 0)), 20);
    // Of Label2's second line only "to " may show in silver, just left of the yellow address.
    const ui::Rect secondLine = ui::Rect::fromSize(20 + 33, 40 + 87, 202, 14);
    const ui::Rect beforeAddress = ui::Rect::fromSize(20 + 89 - 16, 40 + 87, 16, 14);
    EXPECT_GT(count(beforeAddress, ui::rgb(192, 192, 192)), 5);
    EXPECT_EQ(count(secondLine, ui::rgb(192, 192, 192)), count(beforeAddress, ui::rgb(192, 192, 192)));
    EXPECT_GT(count(ui::Rect::fromSize(20 + 9, 40 + 26, 254, 42), ui::rgb(192, 192, 192)), 100);
}

// The meter's gradient as the editor shows it at full level: every row's main colour, top to bottom.
TEST(EditorSnapshot, MeterGradientRowsAtFullLevel) {
    TPluginEditorWindow window(nullptr);
    window.setMeter(1.0f, 0.0f);
    const ui::PixelMap& frame = editor::paintedFrame(window);
    std::string error;
    EXPECT_TRUE(editor::writeSnapshot(window, snapshotPath("editor-full-meter.png"), error)) << error;

    struct Band {
        int first;
        int last;
        ui::Color colour;
    };
    const Band bands[] = {
        {0, 2, ui::rgb(242, 2, 216)},     {3, 8, ui::rgb(227, 26, 211)},    {9, 14, ui::rgb(225, 41, 194)},
        {15, 19, ui::rgb(226, 54, 181)},  {20, 25, ui::rgb(226, 67, 169)},  {26, 32, ui::rgb(226, 85, 151)},
        {33, 37, ui::rgb(225, 96, 140)},  {38, 43, ui::rgb(225, 109, 126)}, {44, 48, ui::rgb(228, 125, 112)},
        {49, 54, ui::rgb(228, 138, 100)}, {55, 60, ui::rgb(229, 152, 85)},  {61, 65, ui::rgb(241, 166, 55)},
        {66, 72, ui::rgb(242, 179, 46)},  {73, 77, ui::rgb(242, 194, 34)},  {78, 82, ui::rgb(243, 207, 26)},
        {83, 95, ui::rgb(242, 220, 19)},
    };
    for (const Band& band : bands) {
        for (int row = band.first; row <= band.last; ++row) {
            std::map<ui::Color, int> counts;
            for (int x = 23; x < 32; ++x) {
                ++counts[frame.pixel(x, 66 + row)];
            }
            EXPECT_GE(counts[band.colour], 5) << "row " << row;
        }
    }
    // Row 1 leans towards the second band.
    EXPECT_EQ(frame.pixel(24, 67), ui::rgb(227, 26, 211));
}

TEST(EditorSnapshot, MeterCoverAndPeakMarkerFollowTheLevels) {
    TPluginEditorWindow window(nullptr);
    const ui::Color cover = ui::rgb(45, 25, 69);
    window.setMeter(0.0f, 0.0f);
    EXPECT_EQ(window.Image325.height(), 96);
    EXPECT_EQ(window.peak1.top(), 96);
    const ui::PixelMap& silent = editor::paintedFrame(window);
    for (int y = 66; y < 162; ++y) {
        EXPECT_EQ(silent.pixel(27, y), cover) << "row " << y;
    }
    window.setMeter(-0.5f, 0.75f);
    EXPECT_EQ(window.Image325.height(), 48);
    EXPECT_EQ(window.peak1.top(), 24);
    const ui::PixelMap& half = editor::paintedFrame(window);
    EXPECT_EQ(half.pixel(27, 66 + 47), cover);
    EXPECT_EQ(half.pixel(27, 66 + 48), ui::rgb(228, 125, 112));
    // The marker shows the gradient's magenta top rows wherever it sits.
    EXPECT_EQ(half.pixel(26, 66 + 24), ui::rgb(242, 2, 216));
    EXPECT_EQ(half.pixel(26, 66 + 26), cover);
    window.setMeter(1.0f, 1.0f);
    EXPECT_EQ(window.Image325.height(), 0);
    EXPECT_EQ(window.peak1.top(), 0);
}

} // namespace
