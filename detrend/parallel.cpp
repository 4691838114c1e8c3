#include "detrend/parallel.h"

#include <chrono>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace detrend {

namespace {

void Pause() {
#if defined(__x86_64__) || defined(__i386__)
  _mm_pause();
#else
  std::this_thread::yield();
#endif
}

// How long a thread that has finished a job keeps looking for the next one
// before it sleeps: the jobs of a signal-free iteration follow each other
// within a fraction of this, and a sleeping thread takes tens of
// microseconds to wake.
constexpr std::chrono::microseconds kKeepLooking{150};

}  // namespace

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_.store(true);
    generation_.fetch_add(1);
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void WorkerPool::Run(unsigned lanes, const std::function<void(unsigned)>& job) {
  if (lanes <= 1) {
    job(0);
    return;
  }
  if (threads_.size() + 1 < lanes) {
    std::lock_guard<std::mutex> lock(mutex_);
    while (threads_.size() + 1 < lanes) {
      const unsigned lane = static_cast<unsigned>(threads_.size()) + 1;
      threads_.emplace_back([this, lane] { Loop(lane); });
    }
  }
  active_.store(lanes - 1);
  job_.store(&job);
  generation_.fetch_add(1);
  if (sleeping_.load() > 0) {
    // Taking the lock orders the wake-up after a sleeper's last look.
    { std::lock_guard<std::mutex> lock(mutex_); }
    wake_.notify_all();
  }
  job(0);
  // Closed: a thread that comes to the job from now on finds nothing to do;
  // those in it are waited for.
  job_.store(nullptr);
  for (unsigned spins = 0; running_.load() != 0; ++spins) {
    if (spins < 4096) {
      Pause();
    } else {
      std::this_thread::yield();
    }
  }
}

void WorkerPool::Loop(unsigned lane) {
  std::uint64_t seen = 0;
  for (;;) {
    // Look for a new job for a while, then sleep until one comes.
    std::uint64_t now = generation_.load();
    if (now == seen) {
      const auto until = std::chrono::steady_clock::now() + kKeepLooking;
      for (unsigned spins = 1; (now = generation_.load()) == seen; ++spins) {
        if (spins % 64 == 0 && std::chrono::steady_clock::now() >= until) break;
        Pause();
      }
    }
    if (now == seen) {
      std::unique_lock<std::mutex> lock(mutex_);
      sleeping_.fetch_add(1);
      wake_.wait(lock, [&] { return (now = generation_.load()) != seen; });
      sleeping_.fetch_sub(1);
    }
    if (stop_.load()) return;
    seen = now;
    // Counted in before looking at the job, so that the job is not closed
    // and its function gone while this thread runs it.
    running_.fetch_add(1);
    const std::function<void(unsigned)>* job = job_.load();
    if (job != nullptr && lane <= active_.load()) (*job)(lane);
    running_.fetch_sub(1);
  }
}

}  // namespace detrend
