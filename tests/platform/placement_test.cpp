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

}  // namespace
}  // namespace lumivex
