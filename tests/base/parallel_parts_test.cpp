#include "base/parallel_parts.h"

#include <atomic>
#include <mutex>
#include <set>

#include <gtest/gtest.h>

// Each part runs exactly once, part 0 on the calling thread and the others beside it.
TEST(ParallelPartsTest, RunsEveryPartOnceWithPartZeroOnTheCaller) {
    for (unsigned nParts : {1u, 2u, 5u}) {
        std::mutex mutex;
        std::multiset<unsigned> seen;
        std::thread::id partZeroThread;
        RunParts(nParts, [&](unsigned part) {
            const std::lock_guard lock(mutex);
            seen.insert(part);
            if (part == 0)
                partZeroThread = std::this_thread::get_id();
        });
        std::multiset<unsigned> expected;
        for (unsigned part = 0; part < nParts; ++part)
            expected.insert(part);
        EXPECT_EQ(seen, expected) << nParts << " parts";
        EXPECT_EQ(partZeroThread, std::this_thread::get_id());
    }
    std::atomic<bool> ran = false;
    std::thread worker = StartOrRun([&] { ran = true; });
    if (worker.joinable())
        worker.join();
    EXPECT_TRUE(ran);
}
