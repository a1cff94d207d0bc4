#include "platform/timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/clock_qt.h"

namespace lumivex {
namespace {

// Records the virtual time of each tick of each named timer.
class TimerTest : public ::testing::Test {
 protected:
  std::function<void()> Log(std::string name) {
    return [this, name] { log.push_back(name + "@" + std::to_string(clock.NowMs())); };
  }
  using Log_ = std::vector<std::string>;
  VirtualClock clock;
  Log_ log;
};

TEST_F(TimerTest, FiresEveryIntervalWhileEnabled) {
  Timer t(clock, 300, true, Log("t"));
  clock.Advance(1000);
  EXPECT_EQ(log, (Log_{"t@300", "t@600", "t@900"}));
  EXPECT_EQ(clock.NowMs(), 1000);
}

TEST_F(TimerTest, EnablingSemantics) {
  Timer t(clock, 1000, true, Log("t"));
  clock.Advance(600);
  t.SetEnabled(true);  // already enabled: keeps its phase
  clock.Advance(500);
  EXPECT_EQ(log, (Log_{"t@1000"}));

  t.SetEnabled(false);  // at 1100
  clock.Advance(2000);
  EXPECT_EQ(log.size(), 1u);
  t.SetEnabled(true);  // at 3100: counts afresh
  clock.Advance(1000);
  EXPECT_EQ(log.back(), "t@4100");

  t.SetEnabled(false);
  t.SetEnabled(true);  // disable-then-enable at 4100 restarts
  clock.Advance(999);
  EXPECT_EQ(log.size(), 2u);
  clock.Advance(1);
  EXPECT_EQ(log.back(), "t@5100");
}

TEST_F(TimerTest, IntervalChanges) {
  Timer t(clock, 1000, true, Log("t"));
  clock.Advance(800);
  t.SetInterval(1000);  // same interval: nothing changes
  clock.Advance(200);
  EXPECT_EQ(log, (Log_{"t@1000"}));
  clock.Advance(500);
  t.SetInterval(400);  // new interval at 1500 restarts
  clock.Advance(800);
  EXPECT_EQ(log, (Log_{"t@1000", "t@1900", "t@2300"}));

  Timer off(clock, 1000, false, Log("off"));
  off.SetInterval(100);  // a disabled timer stays disabled
  t.SetInterval(0);      // interval 0 stops a timer
  EXPECT_FALSE(t.Running());
  EXPECT_TRUE(t.Enabled());
  clock.Advance(5000);
  EXPECT_EQ(log.size(), 3u);
}

TEST_F(TimerTest, NeedsAHandler) {
  Timer t(clock, 100);
  EXPECT_FALSE(t.Running());
  clock.Advance(250);
  t.SetOnTimer(Log("t"));  // at 250: counts from here
  clock.Advance(100);
  EXPECT_EQ(log, (Log_{"t@350"}));
}

TEST_F(TimerTest, DueTimersFireInTimeOrder) {
  Timer a(clock, 700, true, Log("a"));
  Timer b(clock, 300, true, Log("b"));
  Timer c(clock, 700, true, Log("c"));
  clock.Advance(1400);
  EXPECT_EQ(log, (Log_{"b@300", "b@600", "a@700", "c@700", "b@900", "b@1200", "a@1400", "c@1400"}));
  EXPECT_EQ(clock.TicksFired(), 8);
}

TEST_F(TimerTest, HandlersMayChangeTimers) {
  // A one-shot start step: disables itself on its first tick.
  Timer start(clock, 1000, true);
  start.SetOnTimer([&] {
    start.SetEnabled(false);
    log.push_back("start@" + std::to_string(clock.NowMs()));
  });
  // A handler that switches another timer on and restarts itself with a new interval.
  Timer later(clock, 500, false, Log("later"));
  Timer kick(clock, 200, true);
  kick.SetOnTimer([&] {
    kick.SetEnabled(false);
    later.SetEnabled(true);
  });
  clock.Advance(3000);
  EXPECT_EQ(log, (Log_{"later@700", "start@1000", "later@1200", "later@1700", "later@2200", "later@2700"}));
}

TEST_F(TimerTest, DestroyedTimerNeverFires) {
  auto t = std::make_unique<Timer>(clock, 100, true, Log("t"));
  Timer killer(clock, 150, true, [&] { t.reset(); });
  clock.Advance(1000);
  EXPECT_EQ(log, (Log_{"t@100"}));
}

TEST(QtClock, DrivesTimersFromTheEventLoop) {
  int argc = 0;
  QCoreApplication app(argc, nullptr);
  QtClock clock;
  int ticks = 0;
  Timer t(clock, 20, true, [&] { ++ticks; });
  QElapsedTimer waited;
  waited.start();
  while (ticks < 3 && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  EXPECT_GE(ticks, 3);
  t.SetEnabled(false);
  const int stopped = ticks;
  waited.restart();
  while (waited.elapsed() < 100) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(ticks, stopped);
  EXPECT_GE(clock.NowMs(), 0);
}

}  // namespace
}  // namespace lumivex
