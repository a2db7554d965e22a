#include "platform/scrolling.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/shell.h"
#include "platform/dpi.h"
#include "platform/tab_order.h"

namespace platform {
namespace {

TEST(ScrollTarget, StaysWithinTheRange) {
  const ScrollRange bar{.minimum = 1, .maximum = 121, .position = 5, .lineStep = 1, .pageStep = 10};
  struct Case {
    int position;
    ScrollAction action;
    int track;
    int expected;
  };
  const Case cases[] = {
      {5, ScrollAction::LineDown, 0, 6},   {5, ScrollAction::LineUp, 0, 4},
      {1, ScrollAction::LineUp, 0, 1},     {121, ScrollAction::LineDown, 0, 121},
      {5, ScrollAction::PageDown, 0, 15},  {5, ScrollAction::PageUp, 0, 1},
      {115, ScrollAction::PageDown, 0, 121}, {5, ScrollAction::Top, 0, 1},
      {5, ScrollAction::Bottom, 0, 121},   {5, ScrollAction::Track, 60, 60},
      {5, ScrollAction::Track, -3, 1},     {5, ScrollAction::Track, 500, 121},
  };
  for (const Case& c : cases) {
    ScrollRange at = bar;
    at.position = c.position;
    EXPECT_EQ(ScrollTarget(at, c.action, c.track), c.expected) << static_cast<int>(c.action);
  }
}

TEST(WheelAccumulator, WholeNotchesScrollLinesAndPartialOnesAddUp) {
  WheelAccumulator wheel;
  EXPECT_EQ(wheel.Lines(-120, 3), 3);   // towards the user: down
  EXPECT_EQ(wheel.Lines(240, 3), -6);
  EXPECT_EQ(wheel.Lines(-60, 3), 0);    // half a notch waits
  EXPECT_EQ(wheel.Lines(-60, 3), 3);
  EXPECT_EQ(wheel.Lines(-60, 3), 0);
  EXPECT_EQ(wheel.Lines(60, 3), 0);     // turning back drops the leftover
  EXPECT_EQ(wheel.Lines(60, 3), 3 * -1);
}

TEST(ScrollMaximum, BringsThePanelsBottomIntoTheViewport) {
  EXPECT_EQ(app::ScrollMaximumFor(2014, 336, 14), 121);
  EXPECT_EQ(app::ScrollMaximumFor(336 + 28, 336, 14), 3);  // exact multiple
  EXPECT_EQ(app::ScrollMaximumFor(300, 336, 14), 1);       // nothing hidden
}

TEST(Dpi, ScalesHalfAwayFromZeroAndReadsBackWhatWasScaled) {
  EXPECT_EQ(ScaleToDpi(14, 144), 21);
  EXPECT_EQ(ScaleToDpi(-1680, 144), -2520);
  EXPECT_EQ(ScaleToDpi(-13, 144), -20);  // -19.5
  EXPECT_EQ(ScaleToDpi(13, 144), 20);
  EXPECT_EQ(ScaleToDpi(378, 120), 473);  // 472.5
  for (int dpi : {96, 120, 144, 168, 192, 288}) {
    for (int value : {-2520, -1681, -13, -1, 0, 1, 7, 14, 2014, 3021}) {
      EXPECT_EQ(ScaleFromDpi(ScaleToDpi(value, dpi), dpi), value) << value << " at " << dpi;
    }
  }
}

TEST(NextTabStop, WalksContainersInReadingOrderAndSkipsNonStops) {
  // A window with a panel (0) holding two rows added back to front, like
  // copies stacked behind their template, and a button (5) below the panel.
  const std::vector<TabNode> nodes = {
      {-1, 0, 20, false},   // 0 panel
      {0, 8, 34, true},     // 1 row 2, left
      {0, 112, 34, true},   // 2 row 2, right
      {0, 8, 14, true},     // 3 row 1, left
      {0, 112, 14, false},  // 4 row 1, right: hidden
      {-1, 248, 358, true}, // 5 button
  };
  std::vector<int> forward;
  for (int at = -1, i = 0; i < 5; ++i) forward.push_back(at = NextTabStop(nodes, at, false));
  EXPECT_EQ(forward, (std::vector<int>{3, 1, 2, 5, 3}));
  EXPECT_EQ(NextTabStop(nodes, 3, true), 5);
  EXPECT_EQ(NextTabStop(nodes, 4, false), 1);  // from a control that is no stop
  EXPECT_EQ(NextTabStop(std::vector<TabNode>{{-1, 0, 0, false}}, -1, false), -1);
}

}  // namespace
}  // namespace platform
