#include "detrend/parallel.h"

namespace detrend {

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void WorkerPool::Run(unsigned lanes, const std::function<void(unsigned)>& job) {
  if (lanes <= 1) {
    job(0);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    while (threads_.size() + 1 < lanes) {
      const unsigned lane = static_cast<unsigned>(threads_.size()) + 1;
      threads_.emplace_back([this, lane] { Loop(lane); });
    }
    job_ = &job;
    active_ = lanes - 1;
    pending_ = lanes - 1;
    ++generation_;
  }
  wake_.notify_all();
  job(0);
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return pending_ == 0; });
  job_ = nullptr;
}

void WorkerPool::Loop(unsigned lane) {
  std::uint64_t seen = 0;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
    if (stop_) return;
    seen = generation_;
    if (lane > active_) continue;  // a job of fewer lanes
    const std::function<void(unsigned)>& job = *job_;
    lock.unlock();
    job(lane);
    lock.lock();
    if (--pending_ == 0) done_.notify_one();
  }
}

}  // namespace detrend
