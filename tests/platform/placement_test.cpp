#include <gtest/gtest.h>

#include "platform/placement.h"

namespace lumivex {
namespace {

TEST(MainWindowStartPosition, TwoThirdsDownCentredAcross) {
  const struct {
    Rect work;
    int width, height;
    Position expected;
  } cases[] = {
      {{0, 0, 1920, 1040}, 285, 292, {817, 498}},   // 1635 * 0.5 = 817.5, 748 * 2/3 = 498.67
      {{0, 0, 1366, 728}, 285, 292, {540, 290}},
      {{0, 0, 585, 592}, 285, 292, {150, 200}},     // exact thirds stay exact
      {{0, 0, 200, 100}, 285, 292, {-42, -128}},    // smaller than the window: truncated towards zero
      {{1920, 30, 1280, 994}, 285, 292, {1920 + 497, 30 + 468}},  // work area not at the origin
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MainWindowStartPosition(c.work, c.width, c.height), c.expected)
        << c.work.width << "x" << c.work.height;
  }
}

TEST(ClampLeftToWorkArea, OnlyTheRightEdgeBeyondThreePixels) {
  const Rect work{0, 0, 1000, 700};
  const int width = 285;  // rightmost left: 715
  const struct {
    int left, top;
    bool ctrl;
    int expected;
  } cases[] = {
      {719, 10, false, 715},  // 4 pixels beyond: moved
      {718, 10, false, 718},  // 3 pixels: left alone
      {715, 10, false, 715},
      {5000, 10, false, 715},
      {719, 10, true, 719},   // Ctrl held
      {719, -1, false, 719},  // negative top
      {-5, 10, false, -5},    // negative left
      {0, 0, false, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClampLeftToWorkArea(work, c.left, c.top, width, c.ctrl), c.expected)
        << c.left << "," << c.top << (c.ctrl ? " ctrl" : "");
  }
  EXPECT_EQ(ClampLeftToWorkArea({100, 0, 1000, 700}, 819, 10, width, false), 815);
}

TEST(SettingsAndAboutPositions, IntegerDivisionTowardsZero) {
  const struct {
    Rect work;
    int width, height;
    Position settings, about;
  } cases[] = {
      {{0, 0, 1920, 1040}, 456, 778, {732, 262}, {732, 131}},
      {{0, 0, 1921, 1041}, 456, 778, {732, 263}, {732, 131}},
      {{0, 0, 300, 600}, 457, 778, {-78, -178}, {-78, -89}},  // -157/2 = -78, -178/2 = -89
      {{10, 20, 1000, 800}, 344, 192, {10 + 328, 20 + 608}, {10 + 328, 20 + 304}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SettingsWindowPosition(c.work, c.width, c.height), c.settings) << c.work.width;
    EXPECT_EQ(AboutWindowPosition(c.work, c.width, c.height), c.about) << c.work.width;
  }
}

}  // namespace
}  // namespace lumivex
