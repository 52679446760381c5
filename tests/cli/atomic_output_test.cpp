// Outputs appear whole or not at all.
#include "tests/cli/tool_harness.h"
#include "tools/common/atomic_output.h"
#include "tools/common/errors.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace zcli_test {
namespace {

TEST(CliAtomicOutput, TargetAppearsOnlyOnCommit) {
    TempFolder folder;
    const std::string target = folder.path("out.mid");
    {
        zcli::AtomicOutput output(target);
        std::fputs("complete", output.stream());
        EXPECT_EQ(folder.entries().size(), 1u);
        EXPECT_NE(folder.entries()[0], "out.mid") << "written under a temporary name first";
        output.commit();
    }
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.mid"});
    EXPECT_EQ(readFile(target), "complete");
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_NE(status.st_mode & S_IRGRP, 0u) << "the usual permissions, not the temporary file's";
}

TEST(CliAtomicOutput, AbandonedOutputLeavesTheOldFileAlone) {
    TempFolder folder;
    const std::string target = folder.path("out.mid");
    writeFile(target, "previous");
    {
        zcli::AtomicOutput output(target);
        std::fputs("half", output.stream());
    }
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.mid"});
    EXPECT_EQ(readFile(target), "previous");
    {
        zcli::AtomicOutput output(target);
        std::fputs("replacement", output.stream());
        output.commit();
    }
    EXPECT_EQ(readFile(target), "replacement");
}

TEST(CliAtomicOutput, UnwritablePlacesAreNamed) {
    TempFolder folder;
    try {
        zcli::AtomicOutput output(folder.path("missing/out.mid"));
        FAIL() << "a missing folder was accepted";
    } catch (const zcli::RunError& error) {
        EXPECT_NE(std::string(error.what()).find("missing/out.mid: cannot be written"), std::string::npos)
            << error.what();
    }
    EXPECT_THROW(zcli::AtomicOutput{folder.path("")}, zcli::RunError);
    EXPECT_TRUE(folder.entries().empty());
}

} // namespace
} // namespace zcli_test
