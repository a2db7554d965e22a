#include "platform/win32/win32_services.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace platform::win32 {

namespace {

HWND Hwnd(NativeWindow window) { return reinterpret_cast<HWND>(window); }

}  // namespace

bool Win32Windows::RegisterHotKey(NativeWindow window, int id, unsigned modifiers, unsigned virtualKey) {
  return ::RegisterHotKey(Hwnd(window), id, modifiers, virtualKey) != FALSE;
}

bool Win32Windows::UnregisterHotKey(NativeWindow window, int id) {
  return ::UnregisterHotKey(Hwnd(window), id) != FALSE;
}

void* Win32Windows::GetProperty(NativeWindow window, std::string_view name) {
  return ::GetPropW(Hwnd(window), Widen(name).c_str());
}

bool Win32Windows::SetProperty(NativeWindow window, std::string_view name, void* value) {
  return ::SetPropW(Hwnd(window), Widen(name).c_str(), value) != FALSE;
}

void* Win32Windows::RemoveProperty(NativeWindow window, std::string_view name) {
  return ::RemovePropW(Hwnd(window), Widen(name).c_str());
}

ProcedureRef Win32Windows::SetWindowProcedure(NativeWindow window, ProcedureRef procedure) {
  // A zero result is only a failure if the last error says so.
  ::SetLastError(0);
  const LONG_PTR previous = ::SetWindowLongPtrW(Hwnd(window), GWLP_WNDPROC, static_cast<LONG_PTR>(procedure));
  if (previous == 0 && ::GetLastError() != 0) return 0;
  return static_cast<ProcedureRef>(previous);
}

MessageResult Win32Windows::CallProcedure(ProcedureRef procedure, NativeWindow window, std::uint32_t message,
                                          std::uintptr_t wParam, std::intptr_t lParam) {
  // What SetWindowLongPtr hands out may be a thunk rather than a function:
  // CallWindowProc is the only sound way to call it.
  return ::CallWindowProcW(reinterpret_cast<WNDPROC>(procedure), Hwnd(window), message, wParam, lParam);
}

std::optional<Point> Win32Input::CursorPosition() {
  POINT point{};
  if (!::GetCursorPos(&point)) return std::nullopt;
  const Point read{point.x, point.y};
  // Wine can report the point before this process's last SetCursorPos for
  // some 150 ms, while the pointer is already at the new one: a key pressed
  // again at once would then "restore" the cursor onto the click point.
  constexpr unsigned long long kStaleMs = 250;
  if (lastMove_ && moveBefore_ && read == *moveBefore_ && read != *lastMove_ &&
      ::GetTickCount64() - lastMoveTick_ < kStaleMs) {
    return lastMove_;
  }
  return read;
}

bool Win32Input::MoveCursor(Point to) {
  if (!::SetCursorPos(to.x, to.y)) return false;
  moveBefore_ = lastMove_;
  lastMove_ = to;
  lastMoveTick_ = ::GetTickCount64();
  return true;
}

bool Win32Input::SendLeftClick() {
  // No movement flag: both events land where the cursor was just put.
  INPUT click[2] = {};
  click[0].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].type = INPUT_MOUSE;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return ::SendInput(2, click, sizeof(INPUT)) == 2;
}

}  // namespace platform::win32
