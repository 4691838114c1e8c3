// Work shared out among threads: every item exactly once, on a lane of the
// job, with a pool kept over many jobs of different widths.
#include "detrend/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace detrend {
namespace {

TEST(ParallelFor, EveryItemOnceOnALaneOfTheJob) {
  WorkerPool pool;
  for (int job = 0; job < 200; ++job) {
    const unsigned lanes = 1 + static_cast<unsigned>(job % kMaxLanes);
    const int count = 1 + (job * 37) % 300;
    std::vector<std::atomic<int>> seen(static_cast<std::size_t>(count));
    std::atomic<bool> lane_ok{true};
    ParallelFor(job % 3 == 0 ? nullptr : &pool, count, lanes, [&](int k, unsigned lane) {
      if (lane >= lanes) lane_ok = false;
      ++seen[static_cast<std::size_t>(k)];
    });
    ASSERT_TRUE(lane_ok) << job;
    for (int k = 0; k < count; ++k) ASSERT_EQ(seen[static_cast<std::size_t>(k)], 1) << job << " " << k;
  }
}

// Jobs that follow each other at once find the threads still looking for
// work; after a pause longer than they look, asleep. Both ways every item
// is done once, and the pool stops cleanly with its threads in either state.
TEST(ParallelFor, JobsAfterPausesWakeSleepingThreads) {
  for (const bool stop_while_looking : {false, true}) {
    WorkerPool pool;
    for (int job = 0; job < 40; ++job) {
      if (job % 4 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(3));
      const int count = 50 + job;
      std::vector<std::atomic<int>> seen(static_cast<std::size_t>(count));
      ParallelFor(&pool, count, kMaxLanes, [&](int k, unsigned) { ++seen[static_cast<std::size_t>(k)]; });
      for (int k = 0; k < count; ++k) ASSERT_EQ(seen[static_cast<std::size_t>(k)], 1) << job << " " << k;
    }
    if (!stop_while_looking) std::this_thread::sleep_for(std::chrono::milliseconds(3));
  }
}

TEST(LanesFor, SmallJobsStayOnOneThread) {
  EXPECT_EQ(LanesFor(100.0, 1000.0, 50), 1u);
  EXPECT_EQ(LanesFor(5000.0, 1000.0, 1), 1u);
  EXPECT_LE(LanesFor(5000.0, 1000.0, 3), 3u);
  EXPECT_LE(LanesFor(1e9, 1000.0, 1000), kMaxLanes);
}

}  // namespace
}  // namespace detrend
