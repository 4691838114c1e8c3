// Work shared out among threads for the costly loops over independent
// items (the windows of the running RBAR, the years of the mean
// chronology, the series of a signal-free iteration). Each item is computed
// whole by one thread, so results are those of a one-thread run.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace detrend {

inline constexpr unsigned kMaxLanes = 8;

// Threads for `count` items costing `work` in all: one below `threshold`,
// otherwise one per processor, at most kMaxLanes and `count`.
inline unsigned LanesFor(double work, double threshold, int count) {
  if (work < threshold || count < 2) return 1;
  // Asked once: the library reads a system file for it every time.
  static const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  return std::min({cores, kMaxLanes, static_cast<unsigned>(count)});
}

// Threads kept waiting for work between the calls of a run, so that a job
// costs no thread creation. A thread that has finished a job looks for the
// next one for a short while before it sleeps, so the jobs that follow each
// other within an iteration find the threads awake. Its owner (the engine's state) lends it to the
// routines that share out their items; the threads start on first need and
// stop with the pool.
class WorkerPool {
 public:
  WorkerPool() = default;
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // job(lane) on the calling thread as lane 0 and on those of the lanes
  // 1..lanes-1 whose threads get to it before lane 0 is done: the job
  // shares its work out itself (as ParallelFor does), so a thread kept off
  // the processor by other programs does not hold the call up. Returns when
  // lane 0 has finished and no other lane is still in the job.
  void Run(unsigned lanes, const std::function<void(unsigned)>& job);

 private:
  void Loop(unsigned lane);

  std::mutex mutex_;  // guards the sleep of the threads and the growing of threads_
  std::condition_variable wake_;
  std::vector<std::thread> threads_;
  std::atomic<const std::function<void(unsigned)>*> job_{nullptr};  // null once the job is closed
  std::atomic<unsigned> active_{0};         // lanes 1..active_ may take part in the current job
  std::atomic<unsigned> running_{0};        // threads in (or looking at) the current job
  std::atomic<unsigned> sleeping_{0};       // threads asleep, waiting for a job
  std::atomic<std::uint64_t> generation_{0};  // counts the jobs handed out
  std::atomic<bool> stop_{false};
};

// body(k, lane) for k = 0..count-1 on `lanes` threads, the calling thread
// being lane 0; items are handed out one at a time in increasing order.
// With a pool its threads do the work, otherwise threads of the call's own.
template <typename Body>
void ParallelFor(WorkerPool* pool, int count, unsigned lanes, Body body) {
  std::atomic<int> next{0};
  const std::function<void(unsigned)> worker = [&](unsigned lane) {
    for (int k = next++; k < count; k = next++) body(k, lane);
  };
  if (lanes <= 1) {
    worker(0);
  } else if (pool != nullptr) {
    pool->Run(lanes, worker);
  } else {
    std::vector<std::thread> threads;
    threads.reserve(lanes - 1);
    for (unsigned t = 1; t < lanes; ++t) threads.emplace_back(worker, t);
    worker(0);
    for (std::thread& t : threads) t.join();
  }
}

}  // namespace detrend
