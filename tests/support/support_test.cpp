#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/AllocationCounter.h"
#include "tests/support/PluginPath.h"
#include "tests/support/Signals.h"

namespace {

using testsupport::AllocationCounter;

// Kept out of the optimiser's reach so that the allocations really happen.
void* volatile keep = nullptr;

TEST(AllocationCounter, CountsEveryFormOfNewAndDelete) {
    struct alignas(64) Wide {
        char bytes[64];
    };
    AllocationCounter counter;
    // Stored through a volatile pointer: the compiler may not leave a new-expression out.
    keep = new int(1);
    delete static_cast<int*>(keep);
    keep = new char[16];
    delete[] static_cast<char*>(keep);
    keep = new Wide{};
    delete static_cast<Wide*>(keep);
    keep = new (std::nothrow) int(2);
    delete static_cast<int*>(keep);
    keep = nullptr;
    std::vector<int> vector(10);
    vector.clear();
    vector.shrink_to_fit();
    EXPECT_EQ(counter.allocations(), 5u);
    EXPECT_EQ(counter.releases(), 5u);
}

TEST(AllocationCounter, SeesNothingInCodeThatOnlyUsesTheStack) {
    int values[64];
    std::size_t allocations = 1;
    {
        AllocationCounter counter;
        for (int i = 0; i < 64; ++i) {
            values[i] = i * i;
        }
        keep = values;
        allocations = counter.allocations() + counter.releases();
    }
    keep = nullptr;
    EXPECT_EQ(allocations, 0u);
}

TEST(AllocationCounter, CountsMallocWhereTheCAllocatorIsReplaced) {
    if (!testsupport::mallocCounted()) {
        GTEST_SKIP() << "the C allocator is not replaced on this build";
    }
    std::size_t allocations = 0;
    std::size_t releases = 0;
    {
        AllocationCounter counter;
        keep = std::malloc(32);
        keep = std::realloc(keep, 64);
        std::free(keep);
        allocations = counter.allocations();
        releases = counter.releases();
    }
    keep = nullptr;
    EXPECT_EQ(allocations, 2u);
    EXPECT_EQ(releases, 1u);
}

TEST(AllocationCounter, CountsOnlyTheThreadThatHoldsIt) {
    std::atomic<bool> go{false};
    std::atomic<bool> done{false};
    std::vector<int*> made;
    made.reserve(100);
    std::thread worker([&] {
        while (!go.load()) {
            std::this_thread::yield();
        }
        for (int i = 0; i < 100; ++i) {
            made.push_back(new int(i));
        }
        done.store(true);
    });
    {
        AllocationCounter counter;
        go.store(true);
        while (!done.load()) {
            std::this_thread::yield();
        }
        EXPECT_EQ(counter.allocations(), 0u);
    }
    worker.join();
    for (int* value : made) {
        delete value;
    }
    EXPECT_EQ(made.size(), 100u);
}

TEST(AllocationCounter, NestedCountersEachSeeTheirOwnSpan) {
    std::size_t inside = 0;
    std::size_t total = 0;
    {
        AllocationCounter outer;
        keep = new int(1);
        delete static_cast<int*>(keep);
        {
            AllocationCounter inner;
            keep = new int(2);
            delete static_cast<int*>(keep);
            inside = inner.allocations();
        }
        keep = new int(3);
        delete static_cast<int*>(keep);
        total = outer.allocations();
    }
    EXPECT_EQ(inside, 1u);
    EXPECT_EQ(total, 3u);
}

TEST(Signals, PlaceTheirEnergyWhereAsked) {
    auto click = testsupport::impulse(100, 40, 0.5f);
    EXPECT_EQ(click[40], 0.5f);
    EXPECT_EQ(testsupport::peak(click), 0.5f);
    click[40] = 0.0f;
    EXPECT_EQ(testsupport::peak(click), 0.0f);
    EXPECT_EQ(testsupport::peak(testsupport::impulse(10, 10)), 0.0f);

    auto tone = testsupport::burst(1000, 100, 200, 441.0, 44100.0, 0.8f);
    EXPECT_EQ(testsupport::peak({tone.begin(), tone.begin() + 100}), 0.0f);
    EXPECT_EQ(testsupport::peak({tone.begin() + 300, tone.end()}), 0.0f);
    // 441 Hz at 44.1 kHz: one period is 100 samples, the crest a quarter period in.
    EXPECT_NEAR(tone[125], 0.8f, 1e-5f);
    EXPECT_NEAR(tone[175], -0.8f, 1e-5f);
    EXPECT_NEAR(testsupport::sine(100, 441.0, 44100.0)[25], 1.0f, 1e-6f);
}

TEST(PluginPath, PointsBesideTheTestProgram) {
    std::string folder = testsupport::executableDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
    EXPECT_EQ(testsupport::pluginPath().rfind(folder, 0), 0u);
    EXPECT_TRUE(std::filesystem::is_regular_file(testsupport::pluginPath())) << testsupport::pluginPath();
}

} // namespace
