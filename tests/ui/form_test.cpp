#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Image32.h"
#include "ui/Panel.h"
#include "ui/platform/headless/HeadlessWindow.h"

namespace {

using ui::platform::headless::HeadlessWindow;

// Records every event a control receives, in order, as short texts.
struct Recorder {
    std::vector<std::string> log;

    void attach(ui::TControl& control, const std::string& name) {
        control.OnMouseDown = [this, name](ui::MouseButton b, ui::ShiftState s, int x, int y) {
            log.push_back(name + " down " + button(b) + " " + std::to_string(s) + " " + at(x, y));
        };
        control.OnMouseUp = [this, name](ui::MouseButton b, ui::ShiftState s, int x, int y) {
            log.push_back(name + " up " + button(b) + " " + std::to_string(s) + " " + at(x, y));
        };
        control.OnMouseMove = [this, name](ui::ShiftState, int x, int y) {
            log.push_back(name + " move " + at(x, y));
        };
        control.OnClick = [this, name] { log.push_back(name + " click"); };
        control.OnMouseEnter = [this, name] { log.push_back(name + " enter"); };
        control.OnMouseLeave = [this, name] { log.push_back(name + " leave"); };
    }
    static std::string button(ui::MouseButton b) {
        return b == ui::mbLeft ? "L" : b == ui::mbRight ? "R" : "M";
    }
    static std::string at(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
    std::vector<std::string> take() { return std::exchange(log, {}); }
};

// A window with a background picture, a panel created before a later picture that it still covers, and a
// 32-bit image holding a child, laid out as:
//   bg      0,0   100x80 (picture)
//   panel   50,10  40x30  (container, created second)
//   label   40,20  30x10  (picture, created after the panel, overlapping it)
//   meter   10,50  20x20  (32-bit image) with marker 2,4 10x5 inside
class Forms : public ::testing::Test {
protected:
    ui::TForm form{nullptr, 100, 80};
    ui::TImage bg{form};
    ui::TPanel panel{form};
    ui::TImage label{form};
    ui::TImage32 meter{form};
    ui::TImage32 marker{meter};
    HeadlessWindow& window = *HeadlessWindow::from(form.nativeWindow());
    Recorder rec;

    void SetUp() override {
        bg.setBounds(0, 0, 100, 80);
        panel.setBounds(50, 10, 40, 30);
        label.setBounds(40, 20, 30, 10);
        meter.setBounds(10, 50, 20, 20);
        marker.setBounds(2, 4, 10, 5);
        rec.attach(bg, "bg");
        rec.attach(panel, "panel");
        rec.attach(label, "label");
        rec.attach(meter, "meter");
        rec.attach(marker, "marker");
    }
};

TEST_F(Forms, ContainersLieAbovePlainControlsWhateverTheirOrder) {
    EXPECT_EQ(form.controlAt({55, 25}), &panel);
    EXPECT_EQ(form.controlAt({45, 25}), &label);
    EXPECT_EQ(form.controlAt({5, 5}), &bg);
    EXPECT_EQ(form.controlAt({13, 55}), &marker);
    EXPECT_EQ(form.controlAt({25, 65}), &meter);
    EXPECT_EQ(form.controlAt({100, 10}), nullptr);

    // Painting follows the same order: the panel's colour shows where it overlaps the later picture.
    panel.setColor(ui::rgb(0, 0, 200));
    panel.setBevelOuter(ui::Bevel::None);
    label.setPicture(ui::PixelMap(30, 10, ui::rgb(200, 0, 0)));
    form.show();
    EXPECT_EQ(window.pixel(55, 25), ui::rgb(0, 0, 200));
    EXPECT_EQ(window.pixel(45, 25), ui::rgb(200, 0, 0));
}

TEST_F(Forms, LaterPlainControlsLieAboveEarlierOnesAndHiddenOrDisabledOnesLetThrough) {
    ui::TImage top{form};
    top.setBounds(0, 0, 10, 10);
    EXPECT_EQ(form.controlAt({5, 5}), &top);
    top.setVisible(false);
    EXPECT_EQ(form.controlAt({5, 5}), &bg);
    top.setVisible(true);
    top.setEnabled(false);
    EXPECT_EQ(form.controlAt({5, 5}), &bg);
    // A hidden container hides its children from the pointer too.
    meter.setVisible(false);
    EXPECT_EQ(form.controlAt({13, 55}), &bg);
}

TEST_F(Forms, PanelCreatedLastCoversEverythingAndTakesItsClicks) {
    ui::TPanel about{form};
    ui::TImage picture{about};
    about.setBounds(0, 0, 100, 60);
    picture.setBounds(0, 0, 100, 60);
    rec.attach(picture, "picture");
    EXPECT_EQ(form.controlAt({55, 25}), &picture);
    window.press(12, 55);
    window.release(12, 55);
    EXPECT_EQ(rec.take(), (std::vector<std::string>{"picture enter", "picture down L 8 12,55",
                                                    "picture click", "picture up L 0 12,55"}));
    about.setVisible(false);
    EXPECT_EQ(form.controlAt({55, 25}), &panel);
}

TEST_F(Forms, CaptureHoldsFromPressToLastRelease) {
    window.press(45, 25);
    EXPECT_TRUE(window.captured());
    window.moveTo(5, 5, ui::ssLeft);
    window.moveTo(-20, 200, ui::ssLeft);
    window.press(-20, 200, ui::mbRight, ui::ssLeft);
    window.release(-20, 200, ui::mbLeft, ui::ssRight);
    EXPECT_TRUE(window.captured());
    window.release(-20, 200, ui::mbRight);
    EXPECT_FALSE(window.captured());
    EXPECT_EQ(rec.take(),
              (std::vector<std::string>{"label enter", "label down L 8 5,5", "label move -35,-15",
                                        "label move -60,180", "label down R 24 -60,180",
                                        "label up L 16 -60,180", "label up R 0 -60,180", "label leave"}));
    window.moveTo(5, 5);
    EXPECT_EQ(rec.take(), (std::vector<std::string>{"bg enter", "bg move 5,5"}));
}

TEST_F(Forms, ButtonStateIsTheSameWhateverTheWindowSystemReports) {
    // Some systems report the state before the event, others after it: a press always includes its button,
    // a release never does.
    window.press(5, 5, ui::mbLeft, ui::ssLeft | ui::ssShift);
    window.release(5, 5, ui::mbLeft, ui::ssLeft | ui::ssShift);
    window.press(5, 5, ui::mbLeft, ui::ssCtrl);
    window.release(5, 5, ui::mbLeft, ui::ssCtrl);
    const auto log = rec.take();
    ASSERT_EQ(log.size(), 7u);
    EXPECT_EQ(log[1], "bg down L " + std::to_string(ui::ssLeft | ui::ssShift) + " 5,5");
    EXPECT_EQ(log[3], "bg up L " + std::to_string(ui::ssShift) + " 5,5");
    EXPECT_EQ(log[4], "bg down L " + std::to_string(ui::ssLeft | ui::ssCtrl) + " 5,5");
    EXPECT_EQ(log[6], "bg up L " + std::to_string(ui::ssCtrl) + " 5,5");
}

TEST_F(Forms, ClickNeedsLeftPressAndReleaseOnTheSameControl) {
    window.press(45, 25);
    window.release(45, 25);
    window.press(45, 25);
    window.release(5, 5); // released over another control
    window.press(45, 25, ui::mbRight);
    window.release(45, 25, ui::mbRight);
    window.press(45, 25, ui::mbLeft, ui::ssDouble);
    window.release(45, 25);
    int clicks = 0;
    for (const std::string& line : rec.take()) {
        clicks += line == "label click" ? 1 : 0;
    }
    EXPECT_EQ(clicks, 1);
}

TEST_F(Forms, EnterAndLeaveFollowThePointerButWaitForTheCapture) {
    window.moveTo(5, 5);
    window.moveTo(45, 25);
    window.moveTo(55, 25);
    window.leave();
    EXPECT_EQ(rec.take(), (std::vector<std::string>{"bg enter", "bg move 5,5", "bg leave", "label enter",
                                                    "label move 5,5", "label leave", "panel enter",
                                                    "panel move 5,15", "panel leave"}));
    window.moveTo(55, 25);
    window.press(55, 25);
    window.moveTo(5, 5, ui::ssLeft);
    window.leave();
    EXPECT_EQ(rec.take(), (std::vector<std::string>{"panel enter", "panel move 5,15", "panel down L 8 5,15",
                                                    "panel move -45,-5"}));
    window.moveTo(5, 5, ui::ssLeft);
    window.release(5, 5);
    EXPECT_EQ(rec.take(), (std::vector<std::string>{"panel move -45,-5", "panel up L 0 -45,-5", "panel leave",
                                                    "bg enter"}));
}

TEST_F(Forms, WheelGoesToTheControlUnderThePointerAndUpToItsParents) {
    std::vector<std::string> wheels;
    marker.OnMouseWheel = [&](ui::ShiftState, int delta, int x, int y) {
        wheels.push_back("marker " + std::to_string(delta) + " " + Recorder::at(x, y));
        return false;
    };
    meter.OnMouseWheel = [&](ui::ShiftState, int delta, int x, int y) {
        wheels.push_back("meter " + std::to_string(delta) + " " + Recorder::at(x, y));
        return true;
    };
    form.OnMouseWheel = [&](ui::ShiftState, int, int, int) {
        wheels.push_back("form");
        return true;
    };
    window.wheel(13, 55, 1);
    window.wheel(25, 65, -2);
    window.wheel(55, 25, 1);
    EXPECT_EQ(wheels,
              (std::vector<std::string>{"marker 120 1,1", "meter 120 3,5", "meter -240 15,15", "form"}));
}

TEST_F(Forms, CursorIsThatOfTheControlUnderThePointerOrTheCapturingOne) {
    label.setCursor(ui::crHandPoint);
    meter.setCursor(ui::crSizeNS);
    window.moveTo(45, 25);
    EXPECT_EQ(window.cursor(), ui::crHandPoint);
    window.moveTo(13, 55); // the marker inherits its container's cursor
    EXPECT_EQ(window.cursor(), ui::crSizeNS);
    window.press(13, 55);
    window.moveTo(45, 25, ui::ssLeft);
    EXPECT_EQ(window.cursor(), ui::crSizeNS);
    window.release(45, 25);
    EXPECT_EQ(window.cursor(), ui::crHandPoint);
    window.moveTo(5, 5);
    EXPECT_EQ(window.cursor(), ui::crDefault);
}

TEST_F(Forms, ControlDestroyedWhileCapturedReleasesTheCapture) {
    auto temporary = std::make_unique<ui::TImage>(form);
    temporary->setBounds(0, 0, 10, 10);
    window.press(5, 5);
    temporary.reset();
    EXPECT_FALSE(window.captured());
    window.release(5, 5);
    window.moveTo(6, 6);
    EXPECT_EQ(rec.take(), (std::vector<std::string>{"bg up L 0 5,5", "bg enter", "bg move 6,6"}));
}

TEST_F(Forms, PaintsOnlyWhenSomethingChangedAndPresentsAfterEvents) {
    form.show();
    EXPECT_TRUE(window.visible());
    const int afterShow = window.presentCount();
    window.moveTo(5, 5);
    EXPECT_EQ(window.presentCount(), afterShow);
    label.OnMouseMove = [&](ui::ShiftState, int, int) {
        label.setPicture(ui::PixelMap(30, 10, ui::clYellow));
    };
    window.moveTo(45, 25);
    EXPECT_EQ(window.presentCount(), afterShow + 1);
    EXPECT_EQ(window.pixel(41, 21), ui::clYellow);
    form.hide();
    EXPECT_FALSE(window.visible());
}

TEST(FormWindow, ShowRunsOnShowAndEventsQueueUntilPumped) {
    ui::TForm form(reinterpret_cast<void*>(0x1234), 20, 10);
    HeadlessWindow& window = *HeadlessWindow::from(form.nativeWindow());
    EXPECT_EQ(window.parent(), reinterpret_cast<void*>(0x1234));
    int shows = 0;
    form.OnShow = [&] { ++shows; };
    form.show();
    EXPECT_EQ(shows, 1);
    int moves = 0;
    form.OnMouseMove = [&](ui::ShiftState, int, int) { ++moves; };
    window.post({ui::platform::PointerEvent::Kind::Move, 3, 3});
    EXPECT_EQ(moves, 0);
    form.pumpEvents();
    EXPECT_EQ(moves, 1);
}

TEST(FormWindow, NoWindowForABadSizeButTheFormStillWorks) {
    ui::TForm form(nullptr, 0, 10);
    EXPECT_EQ(form.nativeWindow(), nullptr);
    form.show();
    form.pumpEvents();
    ui::TImage image{form};
    EXPECT_EQ(image.form(), &form);
}

} // namespace
