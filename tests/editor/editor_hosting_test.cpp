#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include "editor/EditorSnapshot.h"
#include "tests/editor/PluginEditorFixture.h"
#include "tests/support/Signals.h"

namespace editortest {
namespace {

using Hosting = PluginEditorTest;

TEST_F(Hosting, RectangleIsTheWindowsSizeAtOneStableAddress) {
    vst::ERect* first = nullptr;
    EXPECT_EQ(dispatch(vst::effEditGetRect, 0, 0, &first), 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->top, 0);
    EXPECT_EQ(first->left, 0);
    EXPECT_EQ(first->bottom, 226);
    EXPECT_EQ(first->right, 313);
    openEditor();
    vst::ERect* second = nullptr;
    EXPECT_EQ(dispatch(vst::effEditGetRect, 0, 0, &second), 1);
    EXPECT_EQ(second, first);
    EXPECT_EQ(second->bottom, 226);
    EXPECT_EQ(second->right, 313);
}

TEST_F(Hosting, OpeningCreatesAShownChildOfTheHostsWindow) {
    openEditor();
    EXPECT_EQ(screen().parent(), &parent);
    EXPECT_TRUE(screen().visible());
    EXPECT_TRUE(window().formShown);
    EXPECT_EQ(window().plugin, &adapter());
    EXPECT_EQ(window().about.top(), 40);
    EXPECT_FALSE(plugin().isEditorClosed());
    EXPECT_GT(screen().presentCount(), 0);
}

TEST_F(Hosting, SecondOpenReusesTheWindowAndOnlyTheLastCloseDestroysIt) {
    openEditor();
    editor::TPluginEditorWindow* first = &window();
    EXPECT_EQ(dispatch(vst::effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(&window(), first);
    EXPECT_EQ(adapter().getOpenCount(), 2);
    EXPECT_EQ(adapter().getParentWindow(), &parent);
    EXPECT_EQ(screen().parent(), &parent);

    dispatch(vst::effEditClose);
    ASSERT_EQ(adapter().editorWindow(), first);
    EXPECT_FALSE(screen().visible());
    // Hidden, the window still follows the engine.
    process(testsupport::burst(4096, 100, 2000, 1000.0, 44100.0, 1.0f));
    dispatch(vst::effEditIdle);
    EXPECT_LT(window().Image325.height(), 96);

    EXPECT_EQ(dispatch(vst::effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(&window(), first);
    EXPECT_TRUE(screen().visible());
    dispatch(vst::effEditClose);
    dispatch(vst::effEditClose);
    EXPECT_EQ(adapter().editorWindow(), nullptr);
    EXPECT_EQ(adapter().getOpenCount(), 0);
    EXPECT_TRUE(plugin().isEditorClosed());
    EXPECT_EQ(adapter().getParentWindow(), nullptr);
}

TEST_F(Hosting, CloseWithoutOpenOnlyMarksTheEditorClosed) {
    dispatch(vst::effEditClose);
    EXPECT_TRUE(plugin().isEditorClosed());
    EXPECT_EQ(adapter().getOpenCount(), 0);
    // Idle and parameter changes after the last close touch no window.
    dispatch(vst::effEditIdle);
    effect->setParameter(effect, 0, 0.25f);
    EXPECT_EQ(adapter().editorWindow(), nullptr);
    openEditor();
    EXPECT_FALSE(plugin().isEditorClosed());
    EXPECT_FLOAT_EQ(window().value(zephyrion::kVolume), 0.25f);
}

TEST_F(Hosting, IdleMovesTheMeterAndLightsTheDisplayOneIdleLate) {
    openEditor();
    EXPECT_EQ(window().Image325.height(), 96);
    process(testsupport::burst(4096, 100, 3000, 1000.0, 44100.0, 1.0f));
    ASSERT_TRUE(plugin().isNoteActive()) << "the burst should hold a note";
    dispatch(vst::effEditIdle);
    const int coverHeight = window().Image325.height();
    EXPECT_LT(coverHeight, 96);
    EXPECT_LT(window().peak1.top(), 96);
    // The note state was copied after this idle drew the display: still dark olive.
    EXPECT_EQ(window().Image321.bitmap().pixel(50, 20), ui::rgb(51, 51, 0));
    dispatch(vst::effEditIdle);
    EXPECT_EQ(window().Image321.bitmap().pixel(50, 20), ui::rgb(255, 255, 0));
    EXPECT_EQ(screen().pixel(114 + 50, 64 + 20), ui::rgb(255, 255, 0));
    // Silence lets the meter fall.
    for (int block = 0; block < 40; ++block) {
        process(std::vector<float>(4096, 0.0f));
    }
    dispatch(vst::effEditIdle);
    EXPECT_GT(window().Image325.height(), coverHeight);
}

TEST_F(Hosting, UpdateCopiesValuesButLeavesTheControlsToTheRefresh) {
    openEditor();
    effect->setParameter(effect, 9, 0.2f);
    dispatch(vst::effEditIdle);
    EXPECT_FLOAT_EQ(window().value(zephyrion::kOutMode), 0.2f);
    EXPECT_EQ(window().fm.caption(), "Proc.");
    tickRefresh();
    EXPECT_EQ(window().fm.caption(), "Orig.");
}

// Automation from another thread only marks the values changed; the window's own thread takes them.
// Meant for the thread sanitizer build as much as for this one.
TEST_F(Hosting, AutomationFromAnotherThreadWhileTheEditorRefreshes) {
    openEditor();
    std::atomic<bool> done{false};
    std::thread automation([&] {
        for (int i = 0; !done.load(); ++i) {
            effect->setParameter(effect, 0, static_cast<float>(i % 101) / 100.0f);
            effect->setParameter(effect, 5, static_cast<float>(i % 97) / 127.0f);
        }
    });
    for (int second = 0; second < 20; ++second) {
        tickRefresh();
        dispatch(vst::effEditIdle);
    }
    done = true;
    automation.join();
    effect->setParameter(effect, 0, 0.37f);
    tickRefresh();
    EXPECT_EQ(window().bvol.position(), 37);
    EXPECT_FLOAT_EQ(plugin().getParameter(0), 0.37f);
}

// A host that opens again into a window of its own without closing first finds the editor there, and only
// there; the balancing closes still count.
TEST_F(Hosting, SecondOpenIntoAnotherParentMovesTheEditorThere) {
    openEditor();
    int otherParent = 0;
    EXPECT_EQ(dispatch(vst::effEditOpen, 0, 0, &otherParent), 1);
    EXPECT_EQ(screen().parent(), &otherParent);
    EXPECT_TRUE(screen().visible());
    EXPECT_EQ(adapter().getParentWindow(), &otherParent);
    EXPECT_EQ(adapter().getOpenCount(), 2);
    EXPECT_EQ(window().plugin, &adapter());
    // The moved editor is a whole one: it shows the host's values and the user's gestures reach the host.
    effect->setParameter(effect, 9, 0.2f);
    tickRefresh();
    EXPECT_EQ(window().fm.caption(), "Orig.");
    screen().press(258, 180);
    screen().release(258, 180);
    EXPECT_EQ(automations().back(), (Automation{9, 0.0f}));

    dispatch(vst::effEditClose);
    EXPECT_NE(adapter().editorWindow(), nullptr);
    dispatch(vst::effEditClose);
    EXPECT_EQ(adapter().editorWindow(), nullptr);
    EXPECT_TRUE(plugin().isEditorClosed());
}

// A host thread automates every parameter without pause while the user opens, idles and closes the editor
// over and over, in two windows of the host. The sanitizer builds see any window touched from that thread
// or after its close; afterwards the window shows exactly the values the plug-in holds.
TEST_F(Hosting, OpenAndCloseWhileAnotherThreadAutomatesEveryParameter) {
    std::atomic<bool> done{false};
    std::thread automation([&] {
        for (int i = 0; !done.load(); ++i) {
            for (vst::VstInt32 index = 0; index < zephyrion::kNumRealParams; ++index) {
                effect->setParameter(effect, index, static_cast<float>((i + index) % 1000) / 999.0f);
            }
        }
    });
    int otherParent = 0;
    for (int round = 0; round < 60; ++round) {
        ASSERT_EQ(dispatch(vst::effEditOpen, 0, 0, round % 3 == 0 ? &otherParent : &parent), 1);
        dispatch(vst::effEditIdle);
        tickRefresh();
        dispatch(vst::effEditIdle);
        if (round % 5 != 4) {
            dispatch(vst::effEditClose);
        }
    }
    ASSERT_NE(adapter().editorWindow(), nullptr);
    done = true;
    automation.join();
    EXPECT_TRUE(automations().empty()) << "the editor reported values it only showed";
    dispatch(vst::effEditIdle);
    for (const zephyrion::ParameterInfo& parameter : zephyrion::kParameters) {
        EXPECT_EQ(window().value(static_cast<zephyrion::ParameterIndex>(parameter.index)),
                  plugin().getParameter(parameter.index))
            << parameter.name;
    }
    while (adapter().getOpenCount() > 0) {
        dispatch(vst::effEditClose);
    }
}

// The picture a host shows while a note sounds, left where ZEPHYRION_SNAPSHOT_DIR says (or in the test's
// temporary folder) for the README.
TEST_F(Hosting, SnapshotOfTheEditorAtWork) {
    openEditor();
    process(testsupport::burst(8192, 100, 6000, 800.0, 44100.0, 0.9f));
    dispatch(vst::effEditIdle);
    dispatch(vst::effEditIdle);
    const char* dir = std::getenv("ZEPHYRION_SNAPSHOT_DIR");
    const std::string path =
        (dir != nullptr ? std::string(dir) + "/" : testing::TempDir()) + "editor-at-work.png";
    std::string error;
    ASSERT_TRUE(editor::writeSnapshot(window(), path, error)) << error;
    const ui::PixelMap& frame = editor::paintedFrame(window());
    EXPECT_EQ(frame.pixel(114 + 50, 64 + 20), ui::rgb(255, 255, 0));
    EXPECT_NE(frame.pixel(27, 160), ui::rgb(45, 25, 69)) << "the meter shows a level";
}

TEST_F(Hosting, ClosingThePluginWithTheEditorOpenDestroysTheWindowFirst) {
    openEditor();
    process(testsupport::burst(2048, 10, 1000, 1000.0, 44100.0, 1.0f));
    dispatch(vst::effEditIdle);
    // The sanitizer builds see any touch of freed memory here.
    EXPECT_EQ(dispatch(vst::effClose), 1);
    effect = nullptr;
}

} // namespace
} // namespace editortest
