#include "hotkeys/hotkey_table.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/sim/sim_desktop.h"

namespace hotkeys {
namespace {

using platform::ControlKind;
using platform::ControlSpec;
using platform::sim::SimDesktop;

constexpr unsigned kF1 = 0x70;
constexpr unsigned kKeyA = 'A';
constexpr unsigned kKeyB = 'B';
constexpr unsigned kKeyC = 'C';

constexpr std::array kLayout = {
    ControlSpec{"window", ControlKind::Window, "", 0, 0, 200, 100, "w"},
    ControlSpec{"label", ControlKind::Label, "", 0, 0, 100, 20, "l"},
};

// A window with one label that owns hotkeys; callbacks note the ids they ran for.
class HotkeyTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::uint32_t window = desktop.LoadWindow(platform::Layout{kLayout}, {}, nullptr);
    ASSERT_NE(window, 0u);
    label = desktop.WindowHandle(desktop.Find(window, "label"));
    ASSERT_NE(label, 0u);
  }

  HotkeyCallback Noting() {
    return [this](NativeWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
      EXPECT_EQ(window, label);
      EXPECT_EQ(message, platform::kHotkeyMessage);
      ran.push_back(static_cast<int>(wParam));
      return MessageResult{0};
    };
  }
  bool Register(unsigned key, int id) { return RegisterWindowHotkey(desktop, label, 0, key, Noting(), id); }

  std::vector<int> Ids() {
    std::vector<int> ids;
    if (const HotkeyList* table = FindHotkeyList(desktop, label)) {
      for (const HotkeyEntry& entry : table->entries) ids.push_back(entry.id);
    }
    return ids;
  }
  // Whether another program could take the key now.
  bool KeyFree(unsigned key) {
    if (!desktop.HoldHotkey(0, key)) return false;
    desktop.ReleaseHotkey(0, key);
    return true;
  }
  bool Subclassed() { return desktop.ProcedureOf(label) == platform::ToProcedureRef(&HotkeyWindowProc); }

  SimDesktop desktop;
  NativeWindow label = 0;
  std::vector<int> ran;
};

TEST_F(HotkeyTableTest, EachKeyRunsItsOwnCallbackWithItsId) {
  ASSERT_TRUE(Register(kF1, 1));
  ASSERT_TRUE(Register(kKeyA, 2));
  ASSERT_TRUE(Register(kKeyB, 3));
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(Subclassed());
  desktop.PressKey(kKeyB);
  desktop.PressKey(kF1);
  desktop.PressKey(kKeyA);
  EXPECT_EQ(ran, (std::vector<int>{3, 1, 2}));
  EXPECT_TRUE(desktop.OwnProcedureLog().empty());
}

TEST_F(HotkeyTableTest, ReRegisteringAnIdReplacesItsKey) {
  ASSERT_TRUE(Register(kF1, 1));
  ASSERT_TRUE(Register(kKeyA, 2));
  ASSERT_TRUE(Register(kKeyC, 2));
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2}));
  EXPECT_TRUE(KeyFree(kKeyA));
  desktop.PressKey(kKeyA);
  desktop.PressKey(kKeyC);
  EXPECT_EQ(ran, (std::vector<int>{2}));
}

TEST_F(HotkeyTableTest, ARefusedKeyLeavesTheIdWithNoRegistration) {
  ASSERT_TRUE(desktop.HoldHotkey(0, kKeyC));  // another program's
  ASSERT_TRUE(Register(kF1, 1));
  ASSERT_TRUE(Register(kKeyA, 2));
  EXPECT_FALSE(Register(kKeyC, 2));
  EXPECT_EQ(desktop.LastError(), platform::kHotkeyTaken);
  EXPECT_EQ(Ids(), (std::vector<int>{1}));
  EXPECT_TRUE(KeyFree(kKeyA));
  // A key this program holds is refused just the same.
  EXPECT_FALSE(Register(kF1, 4));
  EXPECT_EQ(Ids(), (std::vector<int>{1}));
}

TEST_F(HotkeyTableTest, UnregisteringAnUnknownIdChangesNothing) {
  EXPECT_EQ(UnregisterWindowHotkey(desktop, label, 2), 0);  // no table at all
  ASSERT_TRUE(Register(kKeyA, 2));
  // A system registration of id 5 that the table never recorded stays.
  ASSERT_TRUE(desktop.RegisterHotKey(label, 5, 0, kKeyB));
  EXPECT_EQ(UnregisterWindowHotkey(desktop, label, 5), 0);
  EXPECT_EQ(UnregisterWindowHotkey(desktop, label, 0), 0);
  EXPECT_FALSE(KeyFree(kKeyB));
  EXPECT_EQ(Ids(), (std::vector<int>{2}));
  // Its presses reach the window's own procedure; so does any other message.
  desktop.PressKey(kKeyB);
  desktop.CallProcedure(desktop.ProcedureOf(label), label, 0x000C, 0, 0);
  ASSERT_EQ(desktop.OwnProcedureLog().size(), 2u);
  EXPECT_EQ(desktop.OwnProcedureLog()[0].message, platform::kHotkeyMessage);
  EXPECT_EQ(desktop.OwnProcedureLog()[0].wParam, 5u);
  EXPECT_EQ(desktop.OwnProcedureLog()[1].message, 0x000Cu);
  EXPECT_TRUE(ran.empty());
}

TEST_F(HotkeyTableTest, RemovingTheMiddleEntryKeepsTheOthersInOrder) {
  ASSERT_TRUE(Register(kF1, 1));
  ASSERT_TRUE(Register(kKeyA, 2));
  ASSERT_TRUE(Register(kKeyB, 3));
  EXPECT_EQ(UnregisterWindowHotkey(desktop, label, 2), 1);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 3}));
  desktop.PressKey(kKeyB);
  desktop.PressKey(kKeyA);
  desktop.PressKey(kF1);
  EXPECT_EQ(ran, (std::vector<int>{3, 1}));
  EXPECT_TRUE(KeyFree(kKeyA));
}

TEST_F(HotkeyTableTest, RemovingTheLastEntryRestoresTheWindowAndRegisteringAgainSubclassesAgain) {
  ASSERT_TRUE(Register(kKeyA, 2));
  ASSERT_TRUE(Register(kKeyB, 3));
  EXPECT_EQ(UnregisterWindowHotkey(desktop, label, 3), 1);
  EXPECT_EQ(UnregisterWindowHotkey(desktop, label, 2), 1);
  EXPECT_EQ(FindHotkeyList(desktop, label), nullptr);
  EXPECT_EQ(desktop.ProcedureOf(label), SimDesktop::kOwnProcedure);
  EXPECT_EQ(desktop.PropertyCount(), 0u);
  ASSERT_TRUE(Register(kKeyC, 2));
  EXPECT_TRUE(Subclassed());
  desktop.PressKey(kKeyC);
  EXPECT_EQ(ran, (std::vector<int>{2}));
}

TEST_F(HotkeyTableTest, AFailedRecordingUndoesTheSystemRegistration) {
  struct Case {
    const char* what;
    void (SimDesktop::*inject)();
  };
  const Case cases[] = {
      {"property write", &SimDesktop::FailNextPropertyWrite},
      {"subclassing", &SimDesktop::FailNextSubclass},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    (desktop.*c.inject)();
    EXPECT_FALSE(Register(kKeyA, 2));
    EXPECT_TRUE(KeyFree(kKeyA));
    EXPECT_EQ(FindHotkeyList(desktop, label), nullptr);
    EXPECT_EQ(desktop.ProcedureOf(label), SimDesktop::kOwnProcedure);
  }
  // With a table in place, a failed property write leaves its entries working.
  ASSERT_TRUE(Register(kF1, 1));
  desktop.FailNextPropertyWrite();
  EXPECT_FALSE(Register(kKeyA, 2));
  EXPECT_TRUE(KeyFree(kKeyA));
  EXPECT_EQ(Ids(), (std::vector<int>{1}));
  desktop.PressKey(kF1);
  EXPECT_EQ(ran, (std::vector<int>{1}));
}

TEST_F(HotkeyTableTest, ACallbackMayUnregisterItself) {
  ASSERT_TRUE(RegisterWindowHotkey(
      desktop, label, 0, kKeyA,
      [this](NativeWindow window, std::uint32_t, std::uintptr_t wParam, std::intptr_t) {
        ran.push_back(UnregisterWindowHotkey(desktop, window, static_cast<int>(wParam)));
        return MessageResult{0};
      },
      2));
  desktop.PressKey(kKeyA);
  desktop.PressKey(kKeyA);
  EXPECT_EQ(ran, (std::vector<int>{1}));
  EXPECT_EQ(FindHotkeyList(desktop, label), nullptr);
}

TEST_F(HotkeyTableTest, ClosingTheWindowFreesItsTableAndKeys) {
  ASSERT_TRUE(Register(kF1, 1));
  ASSERT_TRUE(Register(kKeyA, 2));
  desktop.CloseWindow();
  EXPECT_EQ(desktop.PropertyCount(), 0u);
  EXPECT_TRUE(KeyFree(kF1));
  EXPECT_TRUE(KeyFree(kKeyA));
}

}  // namespace
}  // namespace hotkeys
