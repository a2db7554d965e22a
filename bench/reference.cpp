// Minimal programs to measure the tool against:
//   reference hotkey VK X Y   one hotkey that clicks at (X, Y) and puts the
//                             cursor back, as plainly as Windows allows
//   reference controls N [font]  a window of the tool's size with N edit
//                             controls, in the system's message font if asked
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

int RunHotkey(UINT key, int x, int y) {
  if (!::RegisterHotKey(nullptr, 1, 0, key)) return 1;
  MSG msg{};
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message != WM_HOTKEY) continue;
    POINT home{};
    ::GetCursorPos(&home);
    ::SetCursorPos(x, y);
    INPUT click[2] = {};
    click[0].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].type = INPUT_MOUSE;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, click, sizeof(INPUT));
    ::SetCursorPos(home.x, home.y);
  }
  return 0;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

int RunControls(int count, bool font) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  HFONT messageFont = nullptr;
  if (font && ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    messageFont = ::CreateFontIndirectW(&metrics.lfMessageFont);
  }
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = L"TavrinReference";
  ::RegisterClassW(&windowClass);
  HWND window = ::CreateWindowExW(0, L"TavrinReference", L"Tavrin reference",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 100, 100, 378, 438,
                                  nullptr, nullptr, instance, nullptr);
  for (int i = 0; i < count; ++i) {
    HWND edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 8 + (i % 4) * 90,
                                  14 + (i / 4) * 20, 80, 20, window, nullptr, instance, nullptr);
    if (messageFont != nullptr) ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(messageFont), FALSE);
  }
  ::ShowWindow(window, SW_SHOW);
  MSG msg{};
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  if (messageFont != nullptr) ::DeleteObject(messageFont);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "hotkey") == 0) {
    return RunHotkey(static_cast<UINT>(std::atoi(argv[2])), std::atoi(argv[3]), std::atoi(argv[4]));
  }
  if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "controls") == 0) {
    return RunControls(std::atoi(argv[2]), argc == 4 && std::strcmp(argv[3], "font") == 0);
  }
  return 2;
}
