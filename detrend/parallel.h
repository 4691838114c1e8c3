// Work shared out among threads for the costly loops over independent
// items (the windows of the running RBAR, the years of the mean
// chronology). Each item is computed whole by one thread, so results are
// those of a one-thread run.
#pragma once

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace detrend {

inline constexpr unsigned kMaxLanes = 8;

// Threads for `count` items costing `work` in all: one below `threshold`,
// otherwise one per processor, at most kMaxLanes and `count`.
inline unsigned LanesFor(double work, double threshold, int count) {
  if (work < threshold || count < 2) return 1;
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  return std::min({cores, kMaxLanes, static_cast<unsigned>(count)});
}

// body(k, lane) for k = 0..count-1 on `lanes` threads; the calling thread
// is lane 0. Items are handed out one at a time in increasing order.
template <typename Body>
void ParallelFor(int count, unsigned lanes, Body body) {
  std::atomic<int> next{0};
  auto worker = [&](unsigned lane) {
    for (int k = next++; k < count; k = next++) body(k, lane);
  };
  std::vector<std::thread> threads;
  threads.reserve(lanes > 0 ? lanes - 1 : 0);
  for (unsigned t = 1; t < lanes; ++t) threads.emplace_back(worker, t);
  worker(0);
  for (std::thread& t : threads) t.join();
}

}  // namespace detrend
