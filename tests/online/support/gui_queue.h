// Stands in for the GUI thread's event queue: job threads post closures, the
// test thread runs them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "online/jobs.h"

namespace lumivex::testing {

class GuiQueue {
 public:
  JobRegistry::Poster Poster() {
    return [this](std::function<void()> fn) {
      std::lock_guard lock(mutex_);
      queue_.push_back(std::move(fn));
      ready_.notify_all();
    };
  }

  // Runs every closure posted so far; returns how many ran.
  int Drain() {
    std::deque<std::function<void()>> now;
    {
      std::lock_guard lock(mutex_);
      now.swap(queue_);
    }
    for (auto& fn : now) fn();
    return static_cast<int>(now.size());
  }

  // Waits up to timeout for count closures to be posted (not run).
  bool WaitFor(std::size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return ready_.wait_for(lock, timeout, [&] { return queue_.size() >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace lumivex::testing
