// The real clock: each ClockTimer is a QTimer on the creating thread.
#pragma once

#include "platform/timer.h"

namespace lumivex {

class QtClock : public Clock {
 public:
  std::unique_ptr<ClockTimer> CreateTimer(std::function<void()> onTick) override;
  // Monotonic milliseconds.
  std::int64_t NowMs() const override;
};

}  // namespace lumivex
