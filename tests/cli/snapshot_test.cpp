// `zephyrion snapshot`: the editor's picture, what the options change in it, and the failures.
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "tests/cli/tool_harness.h"

namespace {

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ToolSnapshot, WritesTheEditorAndTheOptionsChangeThePicture) {
    zcli_test::TempFolder folder;
    const std::string plain = folder.path("plain.png");
    const std::string lit = folder.path("lit.png");
    const std::string moved = folder.path("moved.png");
    ASSERT_EQ(zcli_test::runTool({"snapshot", plain}).status, 0);
    ASSERT_EQ(zcli_test::runTool({"snapshot", lit, "--note-active"}).status, 0);
    ASSERT_EQ(zcli_test::runTool({"snapshot", moved, "--set", "freq.lo=0.5"}).status, 0);
    const std::string plainBytes = fileBytes(plain);
    ASSERT_GT(plainBytes.size(), 8u);
    EXPECT_EQ(plainBytes.substr(1, 3), "PNG");
    EXPECT_NE(fileBytes(lit), plainBytes);
    EXPECT_NE(fileBytes(moved), plainBytes);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"lit.png", "moved.png", "plain.png"}));
}

TEST(ToolSnapshot, BadOptionsAreUsageErrorsAndLeaveNoFile) {
    zcli_test::TempFolder folder;
    const std::string out = folder.path("out.png");
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"snapshot"},
                                                      {"snapshot", out, "--set", "Nope=1"},
                                                      {"snapshot", out, "--set", "Volume=1.5"},
                                                      {"snapshot", out, "--bogus"}}) {
        const zcli_test::ToolRun run = zcli_test::runTool(arguments);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find("zephyrion: "), std::string::npos);
    }
    const zcli_test::ToolRun unwritable = zcli_test::runTool({"snapshot", folder.path("missing/out.png")});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_TRUE(folder.entries().empty());
}

} // namespace
