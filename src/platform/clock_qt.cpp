#include "platform/clock_qt.h"

#include <QElapsedTimer>
#include <QTimer>

namespace lumivex {

namespace {

class QtClockTimer : public ClockTimer {
 public:
  explicit QtClockTimer(std::function<void()> onTick) {
    QObject::connect(&timer_, &QTimer::timeout, [onTick = std::move(onTick)] { onTick(); });
  }
  // QTimer::start restarts a running timer, which is what Start promises.
  void Start(int intervalMs) override { timer_.start(intervalMs); }
  void Stop() override { timer_.stop(); }
  bool Active() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
};

}  // namespace

std::unique_ptr<ClockTimer> QtClock::CreateTimer(std::function<void()> onTick) {
  return std::make_unique<QtClockTimer>(std::move(onTick));
}

std::int64_t QtClock::NowMs() const {
  static QElapsedTimer sinceStart = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return sinceStart.elapsed();
}

}  // namespace lumivex
