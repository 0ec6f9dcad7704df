#include "ThreadPriority.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <unistd.h>

using namespace kw27;

namespace {

bool contains(const std::vector<int>& ids, int id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Only the threads started between the two looks count as new: raising the priority of the
// sound output's threads must never reach the window thread or any other thread before them.
TEST(ThreadPriority, ThreadsStartedSinceNamesOnlyTheNewOnes) {
    const std::vector<int> before = processThreads();
    EXPECT_TRUE(contains(before, int(gettid())));

    std::mutex mutex;
    std::condition_variable changed;
    int started = 0;
    bool done = false;
    std::thread worker([&] {
        std::unique_lock lock(mutex);
        started = int(gettid());
        changed.notify_all();
        changed.wait(lock, [&] { return done; });
    });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return started != 0; });
    }
    const std::vector<int> fresh = threadsStartedSince(before);
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    changed.notify_all();
    worker.join();

    EXPECT_EQ(fresh, std::vector<int>{started});
    EXPECT_TRUE(threadsStartedSince(processThreads()).empty());
}

} // namespace
