#include <gtest/gtest.h>

#include "platform/placement.h"

namespace lumivex {
namespace {

TEST(Placement, MainWindowTwoThirdsDownCentredAcross) {
  const std::pair<Rect, Position> cases[] = {
      {{0, 0, 1920, 1040}, {817, 498}},  // 1635 * 0.5 = 817.5, 748 * 2/3 = 498.67
      {{0, 0, 585, 592}, {150, 200}},    // exact thirds stay exact
      {{0, 0, 200, 100}, {-42, -128}},   // smaller than the window: truncated towards zero
      {{1920, 30, 1280, 994}, {1920 + 497, 30 + 468}},
  };
  for (const auto& [work, at] : cases) EXPECT_EQ(MainWindowStartPosition(work, 285, 292), at) << work.width;
}

TEST(Placement, ClampOnlyTheRightEdgeBeyondThreePixels) {
  const Rect work{0, 0, 1000, 700};  // rightmost left for width 285: 715
  EXPECT_EQ(ClampLeftToWorkArea(work, 719, 10, 285, false), 715);
  EXPECT_EQ(ClampLeftToWorkArea(work, 718, 10, 285, false), 718);
  EXPECT_EQ(ClampLeftToWorkArea(work, 5000, 0, 285, false), 715);
  EXPECT_EQ(ClampLeftToWorkArea(work, 719, 10, 285, true), 719);  // Ctrl held
  EXPECT_EQ(ClampLeftToWorkArea(work, 719, -1, 285, false), 719);
  EXPECT_EQ(ClampLeftToWorkArea(work, -5, 10, 285, false), -5);
  EXPECT_EQ(ClampLeftToWorkArea({100, 0, 1000, 700}, 819, 10, 285, false), 815);
}

TEST(Placement, SettingsAtBottomCentreAboutCentred) {
  EXPECT_EQ(SettingsWindowPosition({0, 0, 1921, 1041}, 456, 778), (Position{732, 263}));
  EXPECT_EQ(AboutWindowPosition({0, 0, 1921, 1041}, 456, 778), (Position{732, 131}));
  // Integer division truncates towards zero: -157 / 2 = -78, -178 / 2 = -89.
  EXPECT_EQ(SettingsWindowPosition({0, 0, 300, 600}, 457, 778), (Position{-78, -178}));
  EXPECT_EQ(AboutWindowPosition({0, 0, 300, 600}, 457, 778), (Position{-78, -89}));
  EXPECT_EQ(SettingsWindowPosition({10, 20, 1000, 800}, 344, 192), (Position{338, 628}));
  EXPECT_EQ(AboutWindowPosition({10, 20, 1000, 800}, 344, 192), (Position{338, 324}));
}

TEST(Placement, TitleBarWithinReachStaysPut) {
  const Rect work[] = {{0, 0, 1000, 700}};
  const Rect frames[] = {
      {100, 0, 287, 313},     // top edge on the screen's top
      {100, 680, 287, 313},   // title bar's last row on the bottom row
      {-239, 50, 287, 313},   // 48 pixels of the title bar on the left
      {952, 50, 287, 313},    // and on the right
      {700, 300, 287, 313},   // wholly inside
  };
  for (const Rect& f : frames)
    EXPECT_EQ(PullTitleBarOntoScreen(f, 20, work), (Position{f.left, f.top})) << f.left << "," << f.top;
  // Nothing to pull onto.
  EXPECT_EQ(PullTitleBarOntoScreen({5000, -900, 287, 313}, 20, {}), (Position{5000, -900}));
}

TEST(Placement, TitleBarOffTheScreenIsPulledBack) {
  const Rect work[] = {{0, 30, 1000, 670}};  // a panel above
  const std::pair<Rect, Position> cases[] = {
      {{100, -20, 287, 313}, {100, 30}},     // drifted above the screen
      {{100, 10, 287, 313}, {100, 30}},      // under the panel
      {{100, 681, 287, 313}, {100, 680}},    // title bar below the bottom
      {{-240, 50, 287, 313}, {-239, 50}},    // one pixel short of a grip on the left
      {{953, 50, 287, 313}, {952, 50}},      // and on the right
      {{-5000, -5000, 287, 313}, {-239, 30}},
      {{100, 5000, 30, 313}, {100, 680}},    // narrower than the grip: its whole width
      {{990, 100, 30, 313}, {970, 100}},
  };
  for (const auto& [frame, at] : cases)
    EXPECT_EQ(PullTitleBarOntoScreen(frame, 20, work), at) << frame.left << "," << frame.top;
  // A window without a frame: its top row counts.
  EXPECT_EQ(PullTitleBarOntoScreen({100, 700, 287, 313}, 0, work), (Position{100, 699}));
}

TEST(Placement, AnyScreenHoldsTheTitleBar) {
  const Rect screens[] = {{0, 0, 1920, 1040}, {1920, -200, 1280, 1024}};
  EXPECT_EQ(PullTitleBarOntoScreen({2500, -150, 287, 313}, 20, screens), (Position{2500, -150}));
  EXPECT_EQ(PullTitleBarOntoScreen({1900, -150, 287, 313}, 20, screens), (Position{1900, -150}));
  // On none: back onto the primary screen.
  EXPECT_EQ(PullTitleBarOntoScreen({2500, 900, 287, 313}, 20, screens), (Position{1872, 900}));
  EXPECT_EQ(PullTitleBarOntoScreen({500, -300, 287, 313}, 20, screens), (Position{500, 0}));
}

}  // namespace
}  // namespace lumivex
