#include <gtest/gtest.h>

#include <algorithm>

#include "ui/Form.h"
#include "ui/Label.h"

namespace {

const ui::Font f1{11, true, ui::clSilver};

class Labels : public ::testing::Test {
protected:
    ui::TForm form{nullptr, 120, 80};
    ui::TLabel label{form};

    void SetUp() override {
        form.setColor(ui::clBlack);
        label.setFont(f1);
        label.setTransparent(true);
        label.setLeft(10);
        label.setTop(5);
    }

    // Columns of the frame in [0, width) with any ink in the label's rows.
    std::pair<int, int> inkColumns() {
        form.update();
        int first = -1;
        int last = -1;
        for (int x = 0; x < form.width(); ++x) {
            for (int y = 0; y < form.height(); ++y) {
                if (form.frame().pixel(x, y) != ui::clBlack) {
                    first = first < 0 ? x : first;
                    last = x;
                    break;
                }
            }
        }
        return {first, last};
    }
};

TEST_F(Labels, AutoSizeGrowsAndShrinksToTheRight) {
    label.setCaption("C#3");
    EXPECT_EQ(label.boundsRect(), ui::Rect::fromSize(10, 5, 20, 14));
    label.setCaption("120");
    EXPECT_EQ(label.boundsRect(), ui::Rect::fromSize(10, 5, 18, 14));
    label.setCaption("100%");
    EXPECT_EQ(label.left(), 10);
    EXPECT_GT(label.width(), 18);
    // An empty caption keeps one line and the width of a blank, as Windows labels do.
    label.setCaption("");
    EXPECT_EQ(label.height(), 14);
    EXPECT_EQ(label.width(), ui::faceFor(f1).textWidth(" "));
    // A size set from outside snaps back to the text.
    label.setCaption("16");
    label.setBounds(10, 5, 90, 40);
    EXPECT_EQ(label.boundsRect(), ui::Rect::fromSize(10, 5, 12, 14));
}

TEST_F(Labels, FixedSizeWhenAutoSizeIsOff) {
    label.setAutoSize(false);
    label.setBounds(10, 5, 32, 13);
    label.setCaption("a much longer text than fits");
    EXPECT_EQ(label.boundsRect(), ui::Rect::fromSize(10, 5, 32, 13));
    // Drawing stays inside the label.
    const auto [first, last] = inkColumns();
    EXPECT_GE(first, 10);
    EXPECT_LT(last, 42);
}

TEST_F(Labels, SeveralLinesAreCentredOneByOne) {
    label.setAutoSize(false);
    label.setAlignment(ui::Alignment::Center);
    label.setBounds(0, 0, 120, 42);
    label.setCaption("I\nIIIII\nIII");
    ASSERT_EQ(label.lines().size(), 3u);
    form.update();
    const ui::FontFace& face = ui::faceFor(f1);
    for (int line = 0; line < 3; ++line) {
        int first = -1;
        int last = -1;
        for (int x = 0; x < 120; ++x) {
            for (int y = line * 14; y < (line + 1) * 14; ++y) {
                if (form.frame().pixel(x, y) != ui::clBlack) {
                    first = first < 0 ? x : first;
                    last = x;
                }
            }
        }
        const int textWidth = face.textWidth(label.lines()[static_cast<std::size_t>(line)]);
        const int start = (120 - textWidth) / 2;
        EXPECT_GE(first, start) << line;
        EXPECT_LT(last, start + textWidth) << line;
        EXPECT_GT(last, start + textWidth - 3) << line;
    }
}

TEST_F(Labels, RightAlignmentEndsAtTheRightEdge) {
    label.setAutoSize(false);
    label.setAlignment(ui::Alignment::Right);
    label.setBounds(0, 0, 100, 14);
    label.setCaption("I");
    const auto [first, last] = inkColumns();
    EXPECT_GT(first, 90);
    EXPECT_LT(last, 100);
}

TEST_F(Labels, WordWrapBreaksAtBlanksAndGrowsDownward) {
    const int width =
        std::max(ui::faceFor(f1).textWidth("range into"), ui::faceFor(f1).textWidth("midi notes"));
    label.setWordWrap(true);
    label.setBounds(0, 0, width, 14);
    label.setCaption("range into midi notes");
    EXPECT_EQ(label.lines(), (std::vector<std::string>{"range into", "midi notes"}));
    EXPECT_EQ(label.height(), 28);
    EXPECT_EQ(label.width(), width);
    // A word wider than the label keeps a line of its own.
    label.setCaption("a extraordinarily b");
    EXPECT_EQ(label.lines(), (std::vector<std::string>{"a", "extraordinarily", "b"}));
}

TEST_F(Labels, OpaqueLabelsFillThemselvesTransparentOnesDoNot) {
    label.setCaption(" ");
    form.update();
    EXPECT_EQ(form.frame().pixel(11, 6), ui::clBlack);
    label.setTransparent(false);
    label.setColor(ui::rgb(1, 2, 3));
    form.update();
    EXPECT_EQ(form.frame().pixel(11, 6), ui::rgb(1, 2, 3));
    EXPECT_EQ(form.frame().pixel(10 + label.width(), 6), ui::clBlack);
}

} // namespace
