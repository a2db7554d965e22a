// The hotkey table on real windows: what it assumes of RegisterHotKey,
// window properties and subclassing must hold in user32 itself.
#include "hotkeys/hotkey_table.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/win32_services.h"

namespace hotkeys {
namespace {

class Win32HotkeyTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hwnd = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(hwnd, nullptr);
    window = reinterpret_cast<NativeWindow>(hwnd);
    own = ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
  }
  void TearDown() override {
    if (hwnd != nullptr) ::DestroyWindow(hwnd);
  }

  HotkeyCallback Noting() {
    return [this](NativeWindow, std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
      EXPECT_EQ(message, static_cast<std::uint32_t>(WM_HOTKEY));
      ran.push_back(static_cast<int>(wParam));
      return MessageResult{0};
    };
  }
  void Pump() {
    MSG msg{};
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
  // Whether another registration (of this thread, with no window) can take the key.
  static bool KeyFree(UINT key) {
    if (!::RegisterHotKey(nullptr, 0xBFFF, 0, key)) return false;
    ::UnregisterHotKey(nullptr, 0xBFFF);
    return true;
  }

  platform::win32::Win32Windows services;
  HWND hwnd = nullptr;
  NativeWindow window = 0;
  LONG_PTR own = 0;
  std::vector<int> ran;
};

TEST_F(Win32HotkeyTableTest, RegisteringSubclassesTheWindowAndStoresTheTable) {
  ASSERT_TRUE(RegisterWindowHotkey(services, window, 0, VK_F9, Noting(), 1));
  EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&HotkeyWindowProc));
  EXPECT_NE(::GetPropW(hwnd, L"HOTKEYLIST"), nullptr);
  EXPECT_FALSE(KeyFree(VK_F9));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));
}

TEST_F(Win32HotkeyTableTest, HotkeyMessagesReachTheirCallbacksAndOthersTheWindowsOwnProcedure) {
  ASSERT_TRUE(RegisterWindowHotkey(services, window, 0, VK_F9, Noting(), 1));
  ASSERT_TRUE(RegisterWindowHotkey(services, window, 0, VK_F10, Noting(), 2));
  ::PostMessageW(hwnd, WM_HOTKEY, 2, 0);
  ::PostMessageW(hwnd, WM_HOTKEY, 1, 0);
  ::PostMessageW(hwnd, WM_HOTKEY, 7, 0);  // no entry: the static's own procedure
  Pump();
  EXPECT_EQ(ran, (std::vector<int>{2, 1}));
  // A message for the window's own procedure still works through the subclass.
  ::SetWindowTextW(hwnd, L"still mine");
  wchar_t text[16] = {};
  ::GetWindowTextW(hwnd, text, 16);
  EXPECT_STREQ(text, L"still mine");
}

TEST_F(Win32HotkeyTableTest, ATakenKeyIsRefusedAndLeavesNothingBehind) {
  ASSERT_TRUE(::RegisterHotKey(nullptr, 0xBFFE, 0, VK_F11));  // held elsewhere
  EXPECT_FALSE(RegisterWindowHotkey(services, window, 0, VK_F11, Noting(), 3));
  EXPECT_EQ(::GetPropW(hwnd, L"HOTKEYLIST"), nullptr);
  EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC), own);
  ::UnregisterHotKey(nullptr, 0xBFFE);
}

TEST_F(Win32HotkeyTableTest, UnregisteringTheLastEntryGivesTheWindowBackAndFreesTheKey) {
  ASSERT_TRUE(RegisterWindowHotkey(services, window, 0, VK_F9, Noting(), 1));
  ASSERT_TRUE(RegisterWindowHotkey(services, window, 0, VK_F10, Noting(), 2));
  EXPECT_NE(UnregisterWindowHotkey(services, window, 1), 0);
  EXPECT_NE(::GetPropW(hwnd, L"HOTKEYLIST"), nullptr);
  EXPECT_NE(UnregisterWindowHotkey(services, window, 2), 0);
  EXPECT_EQ(::GetPropW(hwnd, L"HOTKEYLIST"), nullptr);
  EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC), own);
  EXPECT_TRUE(KeyFree(VK_F9));
  EXPECT_TRUE(KeyFree(VK_F10));
  ASSERT_TRUE(RegisterWindowHotkey(services, window, 0, VK_F9, Noting(), 1));
  ::PostMessageW(hwnd, WM_HOTKEY, 1, 0);
  Pump();
  EXPECT_EQ(ran, (std::vector<int>{1}));
}

TEST_F(Win32HotkeyTableTest, DestroyingTheWindowFreesItsKeys) {
  ASSERT_TRUE(RegisterWindowHotkey(services, window, 0, VK_F9, Noting(), 1));
  ::DestroyWindow(hwnd);
  hwnd = nullptr;
  EXPECT_TRUE(KeyFree(VK_F9));
}

}  // namespace
}  // namespace hotkeys
