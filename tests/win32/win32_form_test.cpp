// The Win32 form runtime against the real user32, run under Wine: what the
// simulated desktop assumes of Windows must hold here too.
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_services.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/layout.h"
#include "app/shell.h"

namespace platform::win32 {
namespace {

using app::Program;

class Win32FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form.Initialise());
    std::vector<Binding> bindings;
    bindings.push_back({app::kHotkeyTemplate, Event::KeyDown, [this](const EventArgs& e) { keys.push_back(e); }});
    bindings.push_back({app::kApplyButton, Event::Clicked, [this](const EventArgs&) { ++clicks; }});
    bindings.push_back({app::kScrollBar, Event::PositionChanged,
                        [this](const EventArgs&) { app::OnScrollPositionChanged(program); }});
    program.window = form.LoadWindow(app::MainWindowLayout(), std::move(bindings), [this](std::uint32_t window) {
      program.window = window;
      app::OnWindowCreated(program);
    });
    ASSERT_NE(program.window, 0u);
    ASSERT_TRUE(form.ProcessPendingMessages());
  }

  HWND Hwnd(ControlRef ref) const { return reinterpret_cast<HWND>(form.WindowHandle(ref)); }
  HWND Named(const char* name) const { return Hwnd(form.Find(program.window, name)); }
  std::wstring ClassOf(HWND hwnd) const {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
  }
  void Key(HWND target, WPARAM key) {
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    form.ProcessPendingMessages();
  }

  Win32Form form{::GetModuleHandleW(nullptr), SW_SHOWNORMAL};
  Win32Windows windows;
  Win32Input input;
  Program program{form, windows, input};
  std::vector<EventArgs> keys;
  int clicks = 0;
};

TEST_F(Win32FormTest, ControlsAreRealWindowsOfTheStandardClasses) {
  HWND window = ::GetAncestor(Named(app::kHint), GA_ROOT);
  wchar_t title[64] = {};
  ::GetWindowTextW(window, title, 64);
  EXPECT_STREQ(title, L"TavrinV1.0 ByMorvel_Ostrane");
  EXPECT_EQ(ClassOf(Hwnd(program.rows.HotkeyFields[1])), L"Edit");
  EXPECT_EQ(ClassOf(Hwnd(program.rows.EnableBoxes[1])), L"Button");
  EXPECT_EQ(ClassOf(Named(app::kHint)), L"Static");
  EXPECT_EQ(ClassOf(Named(app::kScrollBar)), L"ScrollBar");
  EXPECT_EQ(::GetParent(Named(app::kPanel)), Named(app::kViewport));
  EXPECT_EQ(::GetParent(Hwnd(program.rows.XFields[7])), Named(app::kPanel));
  const LONG style = ::GetWindowLongW(Hwnd(program.rows.HotkeyFields[1]), GWL_STYLE);
  EXPECT_TRUE(style & ES_READONLY);
  EXPECT_TRUE(style & WS_VISIBLE);
  EXPECT_FALSE(::GetWindowLongW(Hwnd(program.rows.XFields[1]), GWL_STYLE) & ES_READONLY);
  EXPECT_FALSE(::GetWindowLongW(Named(app::kHotkeyTemplate), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(Win32FormTest, CopiesStackDirectlyBehindTheirTemplate) {
  HWND at = Named(app::kXTemplate);
  for (int n = 100; n >= 1; --n) {
    at = ::GetWindow(at, GW_HWNDNEXT);
    ASSERT_EQ(at, Hwnd(program.rows.XFields[n])) << "row " << n;
  }
  EXPECT_EQ(::GetWindow(at, GW_HWNDNEXT), Named(app::kYTemplate));
}

TEST_F(Win32FormTest, PropertiesReadBackWhatWasWritten) {
  const ControlRef x = program.rows.XFields[3];
  form.SetText(x, "鼠标 -12");
  wchar_t text[32] = {};
  ::GetWindowTextW(Hwnd(x), text, 32);
  EXPECT_STREQ(text, L"\u9f20\u6807 -12");
  EXPECT_EQ(form.Text(x), "鼠标 -12");
  form.Set(x, Property::Top, 77);
  EXPECT_EQ(form.Get(x, Property::Top), 77);
  EXPECT_EQ(form.Get(x, Property::Left), 112);
  form.Set(program.rows.EnableBoxes[3], Property::Checked, 1);
  EXPECT_EQ(::SendMessageW(Hwnd(program.rows.EnableBoxes[3]), BM_GETCHECK, 0, 0), BST_CHECKED);
  const ControlRef bar = form.Find(program.window, app::kScrollBar);
  EXPECT_EQ(form.Get(bar, Property::MaxPosition), 121);
  form.Set(bar, Property::Position, 40);
  EXPECT_EQ(::SendMessageW(Hwnd(bar), SBM_GETPOS, 0, 0), 40);
  form.SetTag(x, "65");
  EXPECT_EQ(form.Tag(x), "65");
}

TEST_F(Win32FormTest, ScrollMessagesMoveThePanelAndProgramWritesDoNot) {
  HWND bar = Named(app::kScrollBar);
  HWND window = ::GetParent(bar);
  const ControlRef panel = form.Find(program.window, app::kPanel);
  ::SendMessageW(window, WM_VSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(bar));
  EXPECT_EQ(::SendMessageW(bar, SBM_GETPOS, 0, 0), 11);
  EXPECT_EQ(form.Get(panel, Property::Top), -140);
  form.Set(form.Find(program.window, app::kScrollBar), Property::Position, 1);
  EXPECT_EQ(form.Get(panel, Property::Top), -140);
  ::SendMessageW(window, WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(bar));
  EXPECT_EQ(form.Get(panel, Property::Top), -120 * 14);
}

TEST_F(Win32FormTest, KeysReachTheBoundHandlerOfEveryCopy) {
  HWND field = Hwnd(program.rows.HotkeyFields[5]);
  ::SetFocus(field);
  Key(field, VK_NUMPAD1);
  Key(field, VK_SUBTRACT);
  Key(field, 'A');
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].keyCode, '1');
  EXPECT_EQ(keys[1].keyCode, 0xBD);
  EXPECT_EQ(keys[2].keyCode, 'A');
  // The x fields have no handler, and a read-only field takes no text.
  Key(Hwnd(program.rows.XFields[5]), 'B');
  EXPECT_EQ(keys.size(), 3u);
  ::PostMessageW(field, WM_CHAR, 'A', 1);
  form.ProcessPendingMessages();
  EXPECT_EQ(form.Text(program.rows.HotkeyFields[5]), "");
}

TEST_F(Win32FormTest, TabMovesAlongTheRowAndEscCloses) {
  ::SetFocus(Hwnd(program.rows.HotkeyFields[1]));
  Key(::GetFocus(), VK_TAB);
  EXPECT_EQ(::GetFocus(), Hwnd(program.rows.XFields[1]));
  Key(::GetFocus(), VK_TAB);
  EXPECT_EQ(::GetFocus(), Hwnd(program.rows.YFields[1]));
  EXPECT_TRUE(keys.empty());
  ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_FALSE(form.ProcessPendingMessages());
}

TEST_F(Win32FormTest, TabIntoARowBelowTheViewportScrollsItIntoView) {
  ::SetFocus(Hwnd(program.rows.EnableBoxes[16]));
  Key(::GetFocus(), VK_TAB);
  EXPECT_EQ(::GetFocus(), Hwnd(program.rows.HotkeyFields[17]));
  EXPECT_EQ(::SendMessageW(Named(app::kScrollBar), SBM_GETPOS, 0, 0), 3);
  EXPECT_EQ(form.Get(form.Find(program.window, app::kPanel), Property::Top), -28);
}

TEST_F(Win32FormTest, TheApplyButtonRaisesClickedThroughTheWindow) {
  ::SendMessageW(Named(app::kApplyButton), BM_CLICK, 0, 0);
  form.ProcessPendingMessages();
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace platform::win32
