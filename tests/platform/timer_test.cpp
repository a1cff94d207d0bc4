#include "platform/timer.h"

#include <gtest/gtest.h>

namespace lumivex {
namespace {

using Log = std::vector<std::string>;

class TimerTest : public ::testing::Test {
 protected:
  std::function<void()> Tick(std::string name) {
    return [this, name] { log.push_back(name + "@" + std::to_string(clock.NowMs())); };
  }
  VirtualClock clock;
  Log log;
};

TEST_F(TimerTest, EnableAndIntervalSemantics) {
  Timer t(clock, 1000, true, Tick("t"));
  clock.Advance(600);
  t.SetEnabled(true);   // already enabled: keeps its phase
  t.SetInterval(1000);  // same interval: nothing changes
  clock.Advance(500);   // 1100
  t.SetEnabled(false);
  t.SetEnabled(true);   // disable-then-enable restarts
  clock.Advance(999);   // 2099
  t.SetInterval(400);   // a new interval restarts
  clock.Advance(801);   // 2900
  EXPECT_EQ(log, (Log{"t@1000", "t@2499", "t@2899"}));
  t.SetInterval(0);     // interval 0 stops it
  EXPECT_FALSE(t.Running());
  Timer late(clock, 100);
  clock.Advance(50);
  late.SetOnTimer(Tick("h"));  // without a handler it does not run; set later, it counts from then
  clock.Advance(1000);
  EXPECT_EQ(log.size(), 13u);
  EXPECT_EQ(log[3], "h@3050");
}

TEST_F(TimerTest, DueTimersFireInOrderAndHandlersMayChangeTimers) {
  Timer a(clock, 700, true, Tick("a")), b(clock, 300, true, Tick("b")), start(clock, 700, true);
  start.SetOnTimer([&] {  // a one-shot start step that also stops b
    start.SetEnabled(false);
    b.SetEnabled(false);
    log.push_back("start@" + std::to_string(clock.NowMs()));
  });
  auto doomed = std::make_unique<Timer>(clock, 100, true, Tick("d"));
  Timer killer(clock, 150, true, [&] { doomed.reset(); });
  clock.Advance(1400);
  EXPECT_EQ(log, (Log{"d@100", "b@300", "b@600", "a@700", "start@700", "a@1400"}));
}

// A handler that advances the clock itself (a modal loop in a window test):
// the outer advance goes on from there, time never runs backwards.
TEST_F(TimerTest, NestedAdvanceMovesTimeOnlyForward) {
  Timer t(clock, 1000, true, Tick("t"));
  Timer modal(clock, 500, true);
  modal.SetOnTimer([&] {
    modal.SetEnabled(false);
    clock.Advance(3000);
  });
  clock.Advance(600);
  EXPECT_EQ(clock.NowMs(), 3500);
  clock.Advance(1000);
  EXPECT_EQ(log, (Log{"t@1000", "t@2000", "t@3000", "t@4000"}));
}

}  // namespace
}  // namespace lumivex
