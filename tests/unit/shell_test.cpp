#include "app/shell.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/layout.h"
#include "platform/keys.h"
#include "program_fixture.h"

namespace app {
namespace {

using platform::ControlRef;
using platform::Property;
using platform::ScrollAction;
using platform::sim::SimDesktop;

constexpr int kTab = 0x09;
constexpr int kEscape = 0x1B;

class ShellTest : public ProgramTest {
 protected:
  int PanelTop() const { return Get(kPanel, Property::Top); }
};

TEST_F(ShellTest, StartUpBuildsOneHundredEmptyRowsUnderTheTemplate) {
  EXPECT_TRUE(desktop.WindowShown());
  EXPECT_EQ(program.RowCount, 100);
  const RowList* lists[] = {&program.rows.HotkeyFields, &program.rows.XFields, &program.rows.YFields,
                            &program.rows.EnableBoxes};
  const char* templates[] = {kHotkeyTemplate, kXTemplate, kYTemplate, kEnableTemplate};
  const ControlRef panel = Named(kPanel);
  for (int column = 0; column < 4; ++column) {
    const RowList& list = *lists[column];
    const ControlRef source = Named(templates[column]);
    ASSERT_EQ(list.Size(), 100);
    EXPECT_FALSE(desktop.Get(source, Property::Visible)) << templates[column];
    for (int n = 1; n <= 100; ++n) {
      const ControlRef row = list[n];
      ASSERT_TRUE(row) << templates[column] << " row " << n;
      EXPECT_NE(row, source);
      EXPECT_EQ(desktop.Get(row, Property::Top), 20 * (n - 1) + 14);
      EXPECT_EQ(desktop.Get(row, Property::Left), desktop.Get(source, Property::Left));
      EXPECT_EQ(desktop.Get(row, Property::Width), desktop.Get(source, Property::Width));
      EXPECT_EQ(desktop.Get(row, Property::Height), 20);
      EXPECT_TRUE(desktop.Get(row, Property::Visible));
      EXPECT_EQ(desktop.Text(row), column == 3 ? "启用" : "");
      EXPECT_EQ(desktop.Tag(row), "");
      EXPECT_FALSE(desktop.Get(row, Property::Checked));
    }
    // Every copy sits under the panel, directly behind its template or an
    // earlier copy: the template, then rows 100 down to 1.
    const auto order = desktop.ChildrenInZOrder(panel);
    const auto at = std::find(order.begin(), order.end(), source);
    ASSERT_LE(at + 101, order.end());
    for (int n = 100; n >= 1; --n) EXPECT_EQ(*(at + (101 - n)), list[n]) << "z-order of row " << n;
  }
  EXPECT_EQ(Get(kPanel, Property::Height), 2014);
  EXPECT_EQ(PanelTop(), 0);
  EXPECT_EQ(Get(kScrollBar, Property::Position), 1);
  EXPECT_EQ(Get(kScrollBar, Property::MaxPosition), 121);
}

TEST_F(ShellTest, WindowIsCentredAndFocusStartsInTheFirstRow) {
  const auto window = desktop.ScreenRect({program.window, 1});
  EXPECT_EQ(window, (platform::sim::Rect{451, 293, 451 + 378, 293 + 438}));
  EXPECT_EQ(desktop.Focus(), program.rows.HotkeyFields[1]);
}

TEST_F(ShellTest, ScrollingMovesThePanelFourteenPixelsAStep) {
  const ControlRef bar = Named(kScrollBar);
  struct Step {
    ScrollAction action;
    int track;
    int position;
  };
  const Step steps[] = {
      {ScrollAction::LineDown, 0, 2},  {ScrollAction::PageDown, 0, 12}, {ScrollAction::Track, 60, 60},
      {ScrollAction::Bottom, 0, 121},  {ScrollAction::LineDown, 0, 121}, {ScrollAction::PageUp, 0, 111},
      {ScrollAction::Top, 0, 1},
  };
  for (const Step& step : steps) {
    Act([&] { desktop.Scroll(bar, step.action, step.track); });
    EXPECT_EQ(Get(kScrollBar, Property::Position), step.position);
    EXPECT_EQ(PanelTop(), -(step.position - 1) * 14);
  }
}

TEST_F(ShellTest, AtTheLastPositionRowOneHundredIsWhollyInView) {
  Act([&] { desktop.Scroll(Named(kScrollBar), ScrollAction::Bottom); });
  const auto viewport = desktop.ScreenRect(Named(kViewport));
  const auto last = desktop.ScreenRect(program.rows.HotkeyFields[100]);
  EXPECT_GE(last.top, viewport.top);
  EXPECT_LE(last.bottom, viewport.bottom);
  // One step earlier it was not.
  Act([&] { desktop.Scroll(Named(kScrollBar), ScrollAction::LineUp); });
  EXPECT_GT(desktop.ScreenRect(program.rows.HotkeyFields[100]).bottom, viewport.bottom);
}

TEST_F(ShellTest, APositionTheProgramWritesRaisesNoEvent) {
  desktop.Set(Named(kScrollBar), Property::Position, 50);
  EXPECT_EQ(PanelTop(), 0);
  // Nor does a user action that leaves the position where it is.
  desktop.Set(Named(kPanel), Property::Top, 7);
  Act([&] { desktop.Scroll(Named(kScrollBar), ScrollAction::Track, 50); });
  EXPECT_EQ(PanelTop(), 7);
}

TEST_F(ShellTest, TheWheelMovesTheScrollBarAsAUserWould) {
  Act([&] { desktop.TurnWheel(-120); });
  EXPECT_EQ(Get(kScrollBar, Property::Position), 4);
  EXPECT_EQ(PanelTop(), -3 * 14);
  Act([&] { desktop.TurnWheel(240); });
  EXPECT_EQ(Get(kScrollBar, Property::Position), 1);
  EXPECT_EQ(PanelTop(), 0);
}

TEST_F(ShellTest, TabWalksTheRowsInReadingOrder) {
  const RowLists& rows = program.rows;
  const ControlRef expected[] = {rows.XFields[1], rows.YFields[1], rows.EnableBoxes[1], rows.HotkeyFields[2]};
  for (const ControlRef& next : expected) {
    Act([&] { desktop.PressKey(kTab); });
    EXPECT_EQ(desktop.Focus(), next);
  }
  Act([&] { desktop.PressKey(kTab, platform::kShift); });
  EXPECT_EQ(desktop.Focus(), rows.EnableBoxes[1]);
  // Backwards from the first row reaches the Apply button.
  desktop.Click(rows.HotkeyFields[1]);
  Act([&] { desktop.PressKey(kTab, platform::kShift); });
  EXPECT_EQ(desktop.Focus(), Named(kApplyButton));
}

TEST_F(ShellTest, TheGridScrollsToShowWhereTabPutTheFocus) {
  const auto viewport = desktop.ScreenRect(Named(kViewport));
  const auto inView = [&](ControlRef control) {
    const auto rect = desktop.ScreenRect(control);
    return rect.top >= viewport.top && rect.bottom <= viewport.bottom;
  };
  desktop.Click(program.rows.EnableBoxes[16]);
  Act([&] { desktop.PressKey(kTab); });
  EXPECT_EQ(desktop.Focus(), program.rows.HotkeyFields[17]);
  EXPECT_TRUE(inView(program.rows.HotkeyFields[17]));
  EXPECT_EQ(Get(kScrollBar, Property::Position), 3);  // the fewest steps that show it
  EXPECT_EQ(PanelTop(), -28);
  // Backwards from the Apply button to the last row, then on round to the first.
  desktop.Click(Named(kApplyButton));
  Act([&] { desktop.PressKey(kTab, platform::kShift); });
  EXPECT_EQ(desktop.Focus(), program.rows.EnableBoxes[100]);
  EXPECT_TRUE(inView(program.rows.EnableBoxes[100]));
  Act([&] { desktop.PressKey(kTab); });
  Act([&] { desktop.PressKey(kTab); });
  EXPECT_EQ(desktop.Focus(), program.rows.HotkeyFields[1]);
  EXPECT_TRUE(inView(program.rows.HotkeyFields[1]));
  EXPECT_EQ(Get(kScrollBar, Property::Position), 2);  // row 1 starts 14 pixels down the panel
}

TEST_F(ShellTest, TheHotkeyFieldsAreReadOnlyAndTheXAndYFieldsTakeAnyText) {
  desktop.Click(program.rows.HotkeyFields[3]);
  desktop.TypeText("abc");
  EXPECT_EQ(desktop.Text(program.rows.HotkeyFields[3]), "");
  desktop.Click(program.rows.XFields[3]);
  desktop.TypeText("-12 ab，");
  EXPECT_EQ(desktop.Text(program.rows.XFields[3]), "-12 ab，");
}

TEST_F(ShellTest, EscAloneClosesTheWindowAndReleasesTheListsOnce) {
  desktop.Click(program.rows.XFields[40]);
  EXPECT_EQ(Act([&] { desktop.PressKey(kEscape); }), 0);
  EXPECT_FALSE(desktop.WindowOpen());
  EXPECT_EQ(desktop.EndRoutinesRun(), 1);
  EXPECT_EQ(desktop.LoopsEnded(), 1);
  EXPECT_EQ(program.rows.HotkeyFields.Size(), 0);
  EXPECT_EQ(program.rows.XFields.Size(), 0);
  EXPECT_EQ(program.rows.YFields.Size(), 0);
  EXPECT_EQ(program.rows.EnableBoxes.Size(), 0);
}

TEST_F(ShellTest, EscWithAModifierDoesNotClose) {
  for (int held : {platform::kShift, platform::kCtrl, platform::kAlt}) {
    EXPECT_EQ(Act([&] { desktop.PressKey(kEscape, held); }), SimDesktop::kStillOpen) << held;
    EXPECT_TRUE(desktop.WindowOpen());
  }
  EXPECT_EQ(desktop.EndRoutinesRun(), 0);
  EXPECT_EQ(program.rows.XFields.Size(), 100);
}

TEST_F(ShellTest, ClosingTheWindowEndsTheLoopWithZero) {
  EXPECT_EQ(Act([&] { desktop.CloseWindow(); }), 0);
  EXPECT_EQ(desktop.EndRoutinesRun(), 1);
}

// At 150 % the window is laid out in the screen's own pixels, every layout
// number scaled by 1.5, while the program keeps counting in 96-DPI pixels.
class ShellAt144Test : public ProgramTestAt<144> {};

TEST_F(ShellAt144Test, TheWholeLayoutScalesAndTheProgramsNumbersDoNot) {
  EXPECT_EQ(desktop.ScreenRect({program.window, 1}),
            (platform::sim::Rect{(1280 - 567) / 2, (1024 - 657) / 2, (1280 - 567) / 2 + 567, (1024 - 657) / 2 + 657}));
  const auto panel = desktop.ScreenRect(Named(kPanel));
  for (int n : {1, 2, 50, 100}) {
    const auto row = desktop.ScreenRect(program.rows.XFields[n]);
    EXPECT_EQ(row.top - panel.top, (3 * (20 * (n - 1) + 14) + 1) / 2) << n;
    EXPECT_EQ(row.bottom - row.top, 30);
    EXPECT_EQ(desktop.Get(program.rows.XFields[n], Property::Top), 20 * (n - 1) + 14);
  }
  EXPECT_EQ(panel.bottom - panel.top, 3021);
}

TEST_F(ShellAt144Test, EachScrollStepMovesTheScaledStepAndRowOneHundredComesIntoView) {
  const auto viewport = desktop.ScreenRect(Named(kViewport));
  Act([&] { desktop.Scroll(Named(kScrollBar), ScrollAction::LineDown); });
  EXPECT_EQ(desktop.ScreenRect(Named(kPanel)).top, viewport.top - 21);
  Act([&] { desktop.Scroll(Named(kScrollBar), ScrollAction::Bottom); });
  const auto last = desktop.ScreenRect(program.rows.EnableBoxes[100]);
  EXPECT_GE(last.top, viewport.top);
  EXPECT_LE(last.bottom, viewport.bottom);
}

TEST_F(ShellAt144Test, MovingToAMonitorOfAnotherScaleRelaysTheWindow) {
  Act([&] { desktop.Scroll(Named(kScrollBar), ScrollAction::Track, 11); });
  desktop.ChangeDpi(96);
  EXPECT_EQ(desktop.ScreenRect(Named(kPanel)).top - desktop.ScreenRect(Named(kViewport)).top, -140);
  const auto row = desktop.ScreenRect(program.rows.YFields[3]);
  EXPECT_EQ(row.bottom - row.top, 20);
  EXPECT_EQ(desktop.Get(program.rows.YFields[3], Property::Top), 54);
}

TEST(RowList, ReachingOutsideTheListStopsTheProgram) {
  RowList list;
  list.Resize(3);
  EXPECT_FALSE(list[3]);
  EXPECT_DEATH(list[0], "");
  EXPECT_DEATH(list[4], "");
}

}  // namespace
}  // namespace app
