#include "capture/capture.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/keys.h"
#include "program_fixture.h"

namespace capture {
namespace {

using app::ProgramTest;
using platform::ControlRef;
using platform::Point;
using platform::kCtrl;
using platform::kShift;

constexpr int kF1Key = 0x70;

class CaptureTest : public ProgramTest {
 protected:
  ControlRef HotkeyField(int n) { return program.rows.HotkeyFields[n]; }
  std::string X(int n) { return desktop.Text(program.rows.XFields[n]); }
  std::string Y(int n) { return desktop.Text(program.rows.YFields[n]); }
  std::pair<std::string, std::string> Key(int n) {
    return {desktop.Text(HotkeyField(n)), desktop.Tag(HotkeyField(n))};
  }
  void F1At(Point at) {
    desktop.MovePointer(at);
    Press(kF1Key);
  }
  void FocusHotkeyField(int n) { desktop.Click(HotkeyField(n)); }
};

TEST_F(CaptureTest, F1FillsTheNextRowWithoutAnX) {
  desktop.SetText(HotkeyField(1), "A键");
  F1At({12, 34});
  F1At({1279, 1023});
  EXPECT_EQ(X(1), "12");
  EXPECT_EQ(Y(1), "34");
  EXPECT_EQ(X(2), "1279");
  EXPECT_EQ(Y(2), "1023");
  EXPECT_EQ(X(3), "");
}

TEST_F(CaptureTest, AClearedXIsFilledAgainAndItsYOverwritten) {
  F1At({1, 2});
  F1At({3, 4});
  desktop.SetText(program.rows.XFields[1], "");
  F1At({5, 6});
  EXPECT_EQ(X(1), "5");
  EXPECT_EQ(Y(1), "6");
  EXPECT_EQ(X(2), "3");
  EXPECT_EQ(X(3), "");
}

TEST_F(CaptureTest, XAndYComeFromOneReadingOfTheCursor) {
  desktop.MovePointer({100, 200});
  desktop.AfterCursorRead([this] { desktop.MovePointer({300, 400}); });
  Press(kF1Key);
  EXPECT_EQ(X(1), "100");
  EXPECT_EQ(Y(1), "200");
}

TEST_F(CaptureTest, AKeyGoesToTheFirstEmptyHotkeyRowWhicheverFieldHasTheFocus) {
  FocusHotkeyField(1);
  Press('Q');
  Press('W');
  FocusHotkeyField(5);
  Press('A');
  EXPECT_EQ(Key(3), (std::pair<std::string, std::string>{"A键", "65"}));
  EXPECT_EQ(Key(5), (std::pair<std::string, std::string>{"", ""}));
}

TEST_F(CaptureTest, KeysAreNamedAndTaggedAsTheyArrive) {
  struct Case {
    int key;
    int held;
    const char* name;
    const char* tag;
  };
  const Case cases[] = {
      {'A', 0, "A键", "65"},
      {0x61, 0, "1键", "49"},          // keypad 1 with NumLock on
      {0x6A, 0, "乘号键", "106"},      // keypad multiply
      {0x6D, 0, "减号键", "189"},      // keypad subtract
      {0x11, 0, "Ctrl键", "17"},
      {0xA3, kCtrl, "Ctrl键", "17"},   // the right Ctrl key
      {0x0D, 0, "回车键", "13"},
      {0x09, kCtrl, "Tab键", "9"},
      {0x1B, kShift, "Esc键", "27"},
      {kF1Key, kShift, "F1键", "112"},  // not the capture hotkey
  };
  FocusHotkeyField(1);
  int row = 1;
  for (const Case& c : cases) {
    Press(c.key, c.held);
    EXPECT_EQ(Key(row), (std::pair<std::string, std::string>{c.name, c.tag})) << "key " << c.key;
    ++row;
  }
  EXPECT_TRUE(desktop.WindowOpen());
}

TEST_F(CaptureTest, HoldingAKeyFillsOneRowPerRepeat) {
  FocusHotkeyField(1);
  for (int repeat = 0; repeat < 3; ++repeat) Press('K');
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(Key(n).first, "K键");
  EXPECT_EQ(Key(4).first, "");
}

TEST_F(CaptureTest, AKeyWithoutANameKeepsItsRowOpen) {
  FocusHotkeyField(1);
  Press(0x5D);  // the application-menu key
  EXPECT_EQ(Key(1), (std::pair<std::string, std::string>{"", "93"}));
  Press('B');
  EXPECT_EQ(Key(1), (std::pair<std::string, std::string>{"B键", "66"}));
  EXPECT_EQ(Key(2).second, "");
}

TEST_F(CaptureTest, FocusAndCloseKeysAreNotCaptured) {
  FocusHotkeyField(2);
  Press(0x09);
  Press(0x09, kShift);
  EXPECT_EQ(Key(1).second, "");
  Press(0x1B);
  EXPECT_FALSE(desktop.WindowOpen());
}

TEST_F(CaptureTest, PlainF1InAFieldCapturesThePositionNotTheKey) {
  FocusHotkeyField(1);
  F1At({70, 80});
  EXPECT_EQ(Key(1).second, "");
  EXPECT_EQ(X(1), "70");
}

TEST_F(CaptureTest, AFullGridIgnoresBothCaptures) {
  for (int n = 1; n <= 100; ++n) {
    desktop.SetText(program.rows.XFields[n], "x" + std::to_string(n));
    desktop.SetText(HotkeyField(n), "k" + std::to_string(n));
  }
  F1At({9, 9});
  FocusHotkeyField(1);
  Press('A');
  EXPECT_TRUE(desktop.WindowOpen());
  for (int n = 1; n <= 100; ++n) {
    EXPECT_EQ(X(n), "x" + std::to_string(n));
    EXPECT_EQ(Y(n), "");
    EXPECT_EQ(Key(n), (std::pair<std::string, std::string>{"k" + std::to_string(n), ""}));
  }
}

// F1 held by another program when the tool starts.
class F1TakenTest : public ::testing::Test {
 protected:
  platform::sim::SimDesktop desktop;
  app::Program program{desktop, desktop, desktop};
};

TEST_F(F1TakenTest, TheToolRunsWithoutPositionCapture) {
  ASSERT_TRUE(desktop.HoldHotkey(0, kF1Key));
  ASSERT_EQ(app::StartProgram(program), platform::sim::SimDesktop::kStillOpen);
  desktop.PressKey(kF1Key);
  EXPECT_EQ(desktop.Text(program.rows.XFields[1]), "");
  desktop.Click(program.rows.HotkeyFields[1]);
  desktop.PressKey('A');
  EXPECT_EQ(desktop.Text(program.rows.HotkeyFields[1]), "A键");
}

TEST_F(F1TakenTest, F1IsFreeAgainOnceTheToolHasClosed) {
  ASSERT_EQ(app::StartProgram(program), platform::sim::SimDesktop::kStillOpen);
  EXPECT_FALSE(desktop.HoldHotkey(0, kF1Key));
  desktop.PressKey(0x1B);
  EXPECT_TRUE(desktop.HoldHotkey(0, kF1Key));
}

}  // namespace
}  // namespace capture
