#include "hotkeys/row_hotkeys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/click.h"
#include "program_fixture.h"

namespace hotkeys {
namespace {

using platform::Point;
using platform::sim::MouseEvent;
using platform::sim::SimDesktop;

TEST(ClickAtPoint, OnePressAndReleaseAtThePointThenTheCursorGoesBack) {
  const Point points[] = {{0, 0}, {-1500, 300}, {1279, -200}, {640, 512}};
  for (const Point at : points) {
    SimDesktop desktop;
    desktop.SetVirtualScreen({-1920, -400, 1280, 1024});  // a monitor left of and above the primary
    desktop.MovePointer({100, 90});
    input::ClickAtPoint(desktop, at.x, at.y);
    const std::vector<MouseEvent> expected = {
        {MouseEvent::Move, at, 1},
        {MouseEvent::LeftDown, at, 2},
        {MouseEvent::LeftUp, at, 2},
        {MouseEvent::Move, {100, 90}, 3},
    };
    EXPECT_EQ(desktop.MouseLog(), expected) << at.x << "," << at.y;
    EXPECT_EQ(desktop.Cursor(), (Point{100, 90}));
  }
}

class ApplyTest : public app::ProgramTest {
 protected:
  // A row as capture and the user leave it.
  void SetRow(int n, int key, const std::string& x, const std::string& y, bool enabled) {
    desktop.SetText(program.rows.HotkeyFields[n], "k");
    desktop.SetTag(program.rows.HotkeyFields[n], std::to_string(key));
    desktop.SetText(program.rows.XFields[n], x);
    desktop.SetText(program.rows.YFields[n], y);
    if ((desktop.Get(program.rows.EnableBoxes[n], platform::Property::Checked) != 0) != enabled) {
      Act([&] { desktop.Click(program.rows.EnableBoxes[n]); });
    }
  }
  void Apply() {
    Act([&] { desktop.Click(Named(app::kApplyButton)); });
  }
  // The points clicked by pressing `key` once, with the user's pointer at home.
  std::vector<Point> ClicksOf(int key) {
    const Point home{400, 300};
    desktop.MovePointer(home);
    const std::size_t before = desktop.MouseLog().size();
    Press(key);
    std::vector<Point> clicks;
    for (std::size_t i = before; i < desktop.MouseLog().size(); ++i) {
      const MouseEvent& e = desktop.MouseLog()[i];
      if (e.kind == MouseEvent::LeftDown) clicks.push_back(e.at);
    }
    EXPECT_EQ(desktop.Cursor(), home) << "the cursor went back";
    return clicks;
  }
  bool KeyFree(unsigned key) {
    if (!desktop.HoldHotkey(0, key)) return false;
    desktop.ReleaseHotkey(0, key);
    return true;
  }
};

using Points = std::vector<Point>;

TEST_F(ApplyTest, AnEnabledRowClicksItsPointAndOthersStayQuiet) {
  SetRow(1, 'K', "10", "20", true);
  SetRow(2, 'L', "30", "40", false);
  EXPECT_EQ(ClicksOf('K'), Points{});  // nothing is live before Apply
  Apply();
  EXPECT_EQ(ClicksOf('K'), (Points{{10, 20}}));
  EXPECT_EQ(ClicksOf('L'), Points{});
  EXPECT_TRUE(KeyFree('L'));
  EXPECT_FALSE(KeyFree('K'));
}

TEST_F(ApplyTest, OfTwoRowsWithOneKeyTheLowerRowWins) {
  SetRow(1, 'K', "1", "1", true);
  SetRow(2, 'K', "2", "2", true);
  Apply();
  EXPECT_EQ(ClicksOf('K'), (Points{{1, 1}}));
}

TEST_F(ApplyTest, ARowThatHoldsAKeyKeepsItAgainstALowerRowEnabledLater) {
  SetRow(2, 'J', "2", "2", true);
  Apply();
  SetRow(1, 'J', "1", "1", true);
  Apply();
  EXPECT_EQ(ClicksOf('J'), (Points{{2, 2}}));
}

TEST_F(ApplyTest, ARowWhoseKeyIsF1NeverGoesLive) {
  SetRow(1, 0x70, "5", "5", true);
  Apply();
  desktop.MovePointer({77, 88});
  EXPECT_EQ(ClicksOf(0x70), Points{});
  EXPECT_EQ(desktop.Text(program.rows.XFields[2]), "400");  // F1 still captures
}

TEST_F(ApplyTest, ApplyTwiceChangesNothing) {
  SetRow(1, 'K', "10", "20", true);
  SetRow(2, 'M', "30", "40", true);
  Apply();
  Apply();
  EXPECT_EQ(ClicksOf('K'), (Points{{10, 20}}));
  EXPECT_EQ(ClicksOf('M'), (Points{{30, 40}}));
}

TEST_F(ApplyTest, UncheckingAndApplyingReleasesTheKey) {
  SetRow(1, 'K', "10", "20", true);
  Apply();
  SetRow(1, 'K', "10", "20", false);
  EXPECT_EQ(ClicksOf('K'), (Points{{10, 20}}));  // live until Apply
  Apply();
  EXPECT_EQ(ClicksOf('K'), Points{});
  EXPECT_TRUE(KeyFree('K'));
}

TEST_F(ApplyTest, ThePointIsReadWhenTheKeyFires) {
  struct Case {
    const char* x;
    const char* y;
    Point at;
  };
  const Case cases[] = {
      {"", "", {0, 0}},
      {"12abc", " 34", {12, 34}},
      {"１００", "－0", {100, 0}},
      {"x", "7", {0, 7}},
  };
  SetRow(1, 'K', "1", "1", true);
  Apply();
  for (const Case& c : cases) {
    desktop.SetText(program.rows.XFields[1], c.x);
    desktop.SetText(program.rows.YFields[1], c.y);
    EXPECT_EQ(ClicksOf('K'), Points{c.at}) << c.x << "," << c.y;
  }
}

TEST_F(ApplyTest, ANewKeyForALiveRowWaitsForTheNextApply) {
  SetRow(1, 'K', "10", "20", true);
  Apply();
  desktop.SetText(program.rows.HotkeyFields[1], "");
  Act([&] { desktop.Click(program.rows.HotkeyFields[1]); });
  Press('L');
  ASSERT_EQ(desktop.Tag(program.rows.HotkeyFields[1]), "76");
  Act([&] { desktop.Click(program.rows.XFields[1]); });
  EXPECT_EQ(ClicksOf('K'), (Points{{10, 20}}));
  EXPECT_EQ(ClicksOf('L'), Points{});
  Apply();
  EXPECT_EQ(ClicksOf('L'), (Points{{10, 20}}));
  EXPECT_TRUE(KeyFree('K'));
}

// On a scaled screen F1 and the click use the same screen pixels.
class ApplyAt144Test : public app::ProgramTestAt<144> {};

TEST_F(ApplyAt144Test, TheClickLandsOnThePixelF1Captured) {
  desktop.MovePointer({1111, 777});
  Press(0x70);
  ASSERT_EQ(desktop.Text(program.rows.XFields[1]), "1111");
  Act([&] { desktop.Click(program.rows.HotkeyFields[1]); });
  Press('K');
  Act([&] { desktop.Click(program.rows.EnableBoxes[1]); });
  Act([&] { desktop.Click(Named(app::kApplyButton)); });
  desktop.MovePointer({5, 5});
  Press('K');
  ASSERT_GE(desktop.MouseLog().size(), 2u);
  EXPECT_EQ(desktop.MouseLog()[1], (MouseEvent{MouseEvent::LeftDown, {1111, 777}, 2}));
}

TEST_F(ApplyTest, EveryRowCanGoLive) {
  const int keys[] = {'A', 'B', 'C'};
  for (int i = 0; i < 3; ++i) SetRow(98 + i, keys[i], std::to_string(i), "9", true);
  Apply();
  EXPECT_EQ(ClicksOf('C'), (Points{{2, 9}}));  // row 100
}

}  // namespace
}  // namespace hotkeys
