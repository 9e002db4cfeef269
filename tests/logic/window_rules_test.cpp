// The main window's rules that need no window: placement, timer periods, the
// focus cycle and the centred line of the base-name box.
#include <gtest/gtest.h>

#include <set>

#include "ui/window_rules.h"

namespace {

TEST(WindowPlacement, CentresWithTruncationAndNoClamping) {
  struct Case {
    int screenWidth, screenHeight, left, top;
  } cases[] = {
      {1280, 800, 526, 296},
      {1281, 801, 526, 296},  // odd remainders truncate
      {200, 100, -14, -54},   // narrower than the window: negative, toward zero
      {227, 207, 0, 0},       // -1 / 2 truncates to 0, not -1
  };
  for (const Case& c : cases) {
    WindowOrigin origin = centredOrigin(c.screenWidth, c.screenHeight);
    EXPECT_EQ(origin.left, c.left) << c.screenWidth;
    EXPECT_EQ(origin.top, c.top) << c.screenHeight;
  }
}

TEST(TimerPeriod, ChangesAsTheRulesSay) {
  struct Case {
    const char* label;
    int32_t current, requested;
    TimerChange expected;
  } cases[] = {
      {"idle to 2000 starts", 0, 2000, {2000, false, true}},
      {"same period keeps the rhythm", 50, 50, {50, false, false}},
      {"new period restarts", 50, 100, {100, true, true}},
      {"0 stops", 50, 0, {0, true, false}},
      {"-1 stops like 0", 50, -1, {0, true, false}},
      {"-1 on an idle timer does nothing", 0, -1, {0, false, false}},
  };
  for (const Case& c : cases) {
    TimerChange change = timerChangeFor(c.current, c.requested);
    EXPECT_EQ(change.period, c.expected.period) << c.label;
    EXPECT_EQ(change.stop, c.expected.stop) << c.label;
    EXPECT_EQ(change.start, c.expected.start) << c.label;
  }
}

std::set<ControlId> disabled;
bool enabledUnlessListed(ControlId control) { return disabled.count(control) == 0; }

TEST(FocusCycle, WalksForwardAndBackSkippingDisabledControls) {
  disabled = {};
  EXPECT_EQ(nextInFocusCycle(ControlId::按钮1, false, enabledUnlessListed), ControlId::编辑框1);
  EXPECT_EQ(nextInFocusCycle(ControlId::编辑框2, false, enabledUnlessListed), ControlId::按钮1);
  EXPECT_EQ(nextInFocusCycle(ControlId::按钮1, true, enabledUnlessListed), ControlId::编辑框2);
  EXPECT_EQ(nextInFocusCycle(ControlId::按钮2, true, enabledUnlessListed), ControlId::编辑框1);

  disabled = {ControlId::按钮1};  // as at start-up
  EXPECT_EQ(firstInFocusCycle(enabledUnlessListed, ControlId::时钟1), ControlId::编辑框1);
  EXPECT_EQ(nextInFocusCycle(ControlId::编辑框2, false, enabledUnlessListed), ControlId::编辑框1);
  EXPECT_EQ(nextInFocusCycle(ControlId::编辑框1, true, enabledUnlessListed), ControlId::编辑框2);
  // From outside the cycle (the window itself holds the focus).
  EXPECT_EQ(nextInFocusCycle(ControlId::时钟1, false, enabledUnlessListed), ControlId::编辑框1);

  disabled = {ControlId::按钮1, ControlId::按钮2, ControlId::编辑框2};
  EXPECT_EQ(nextInFocusCycle(ControlId::编辑框1, false, enabledUnlessListed), ControlId::编辑框1);
  disabled = {ControlId::按钮1, ControlId::按钮2, ControlId::编辑框1, ControlId::编辑框2};
  EXPECT_EQ(firstInFocusCycle(enabledUnlessListed, ControlId::时钟1), ControlId::时钟1);
}

TEST(BaseNameLine, SitsMidwayWithTheOddPixelBelow) {
  EXPECT_EQ(centredLineBand(26, 13).above, 6);
  EXPECT_EQ(centredLineBand(26, 13).below, 7);
  EXPECT_EQ(centredLineBand(26, 26).above, 0);  // a line as high as the box fills it
  EXPECT_EQ(centredLineBand(26, 0).below, 0);   // no measurement: leave the box alone
}

}  // namespace
