#include "platform/timer.h"

#include <algorithm>
#include <limits>

namespace lumivex {

Timer::Timer(Clock& clock, int intervalMs, bool enabled, std::function<void()> onTimer)
    : onTimer_(std::move(onTimer)), interval_(intervalMs), enabled_(enabled) {
  // The tick goes through this object so a handler replaced later is the one called.
  tick_ = clock.CreateTimer([this] {
    if (onTimer_) onTimer_();
  });
  Update();
}

bool Timer::Running() const { return enabled_ && interval_ > 0 && onTimer_ != nullptr; }

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void Timer::SetInterval(int intervalMs) {
  if (intervalMs == interval_) return;
  interval_ = intervalMs;
  Update();
}

void Timer::SetOnTimer(std::function<void()> onTimer) {
  onTimer_ = std::move(onTimer);
  Update();
}

void Timer::Update() {
  tick_->Stop();
  if (Running()) tick_->Start(interval_);
}

// ---------------------------------------------------------------------------

class VirtualTimer : public ClockTimer {
 public:
  VirtualTimer(VirtualClock* clock, int id) : clock_(clock), alive_(clock->alive_), id_(id) {}
  ~VirtualTimer() override {
    if (*alive_) clock_->entries_.erase(id_);
  }
  void Start(int intervalMs) override {
    if (!*alive_) return;
    VirtualClock::Entry& e = clock_->entries_.at(id_);
    e.interval = intervalMs;
    e.active = intervalMs > 0;
    e.due = clock_->now_ + intervalMs;
    e.order = clock_->nextOrder_++;
  }
  void Stop() override {
    if (*alive_) clock_->entries_.at(id_).active = false;
  }
  bool Active() const override { return *alive_ && clock_->entries_.at(id_).active; }

 private:
  VirtualClock* clock_;
  std::shared_ptr<bool> alive_;  // false once the clock is gone
  int id_;
};

VirtualClock::VirtualClock() : alive_(std::make_shared<bool>(true)) {}

VirtualClock::~VirtualClock() { *alive_ = false; }

std::unique_ptr<ClockTimer> VirtualClock::CreateTimer(std::function<void()> onTick) {
  const int id = nextId_++;
  entries_[id].onTick = std::move(onTick);
  return std::make_unique<VirtualTimer>(this, id);
}

void VirtualClock::Advance(std::int64_t ms) {
  const std::int64_t end = now_ + ms;
  while (true) {
    int nextId = -1;
    std::int64_t nextDue = std::numeric_limits<std::int64_t>::max();
    std::uint64_t nextOrder = 0;
    for (const auto& [id, e] : entries_) {
      if (!e.active || e.due > end) continue;
      if (e.due < nextDue || (e.due == nextDue && e.order < nextOrder)) {
        nextId = id;
        nextDue = e.due;
        nextOrder = e.order;
      }
    }
    if (nextId < 0) break;
    now_ = nextDue;
    Entry& e = entries_.at(nextId);
    // Re-arm before the handler runs, so a handler that stops or restarts its
    // own timer has the last word. Each tick gets a fresh order so timers
    // due at the same moment take turns.
    e.due += e.interval;
    e.order = nextOrder_++;
    std::function<void()> onTick = e.onTick;  // the handler may destroy the timer
    ++ticksFired_;
    onTick();
  }
  // A handler may have advanced the clock itself (a modal loop in a test);
  // time never runs backwards.
  now_ = std::max(now_, end);
}

}  // namespace lumivex
