// Timers with the desktop class library's semantics over a replaceable clock.
//
// A `Timer` fires `OnTimer` every `Interval` milliseconds while it is enabled,
// its interval is above 0 and it has a handler. SetEnabled with the current
// value changes nothing (an enabled timer keeps its phase); disable-then-enable
// restarts the count; a new interval (or handler) restarts a running timer.
// The real clock (QtClock, clock_qt.h) drives QTimer; VirtualClock drives
// timers by hand in tests.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace lumivex {

// One repeating tick source handed out by a Clock.
class ClockTimer {
 public:
  virtual ~ClockTimer() = default;
  // (Re)starts the count from now: the first tick is intervalMs from now.
  virtual void Start(int intervalMs) = 0;
  virtual void Stop() = 0;
  virtual bool Active() const = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // onTick runs on the clock's thread (the GUI thread for QtClock) each time
  // the timer comes due. The timer is created stopped.
  virtual std::unique_ptr<ClockTimer> CreateTimer(std::function<void()> onTick) = 0;
  // Milliseconds on this clock's own scale.
  virtual std::int64_t NowMs() const = 0;
};

class Timer {
 public:
  // A class-library timer: 1000 ms and enabled unless told otherwise.
  explicit Timer(Clock& clock, int intervalMs = 1000, bool enabled = true,
                 std::function<void()> onTimer = {});
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  int Interval() const { return interval_; }
  void SetInterval(int intervalMs);
  void SetOnTimer(std::function<void()> onTimer);
  // True while the timer would fire: enabled, interval above 0, handler set.
  bool Running() const;

 private:
  void Update();

  std::unique_ptr<ClockTimer> tick_;
  std::function<void()> onTimer_;
  int interval_;
  bool enabled_;
};

// A clock whose time moves only when a test advances it. Due timers fire in
// time order (equal times: the one started first), each tick at its own time,
// so a handler sees NowMs() at its due time and may stop, restart or create
// timers.
class VirtualClock : public Clock {
 public:
  VirtualClock();
  ~VirtualClock() override;
  std::unique_ptr<ClockTimer> CreateTimer(std::function<void()> onTick) override;
  std::int64_t NowMs() const override { return now_; }

  // Moves time forward by ms, firing every tick that comes due on the way.
  void Advance(std::int64_t ms);
  // Number of ticks fired so far, over all timers.
  int TicksFired() const { return ticksFired_; }

 private:
  friend class VirtualTimer;
  struct Entry {
    std::function<void()> onTick;
    int interval = 0;
    bool active = false;
    std::int64_t due = 0;
    std::uint64_t order = 0;  // start sequence, breaks ties between equal due times
  };
  std::int64_t now_ = 0;
  std::uint64_t nextOrder_ = 0;
  int nextId_ = 0;
  int ticksFired_ = 0;
  std::map<int, Entry> entries_;
  std::shared_ptr<bool> alive_;
};

}  // namespace lumivex
