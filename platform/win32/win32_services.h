#pragma once

#include "platform/input_services.h"
#include "platform/window_services.h"

namespace platform::win32 {

// Hotkeys, properties and subclassing through user32's wide functions, since
// the program's windows are Unicode windows.
class Win32Windows final : public WindowServices {
 public:
  bool RegisterHotKey(NativeWindow window, int id, unsigned modifiers, unsigned virtualKey) override;
  bool UnregisterHotKey(NativeWindow window, int id) override;
  void* GetProperty(NativeWindow window, std::string_view name) override;
  bool SetProperty(NativeWindow window, std::string_view name, void* value) override;
  void* RemoveProperty(NativeWindow window, std::string_view name) override;
  ProcedureRef SetWindowProcedure(NativeWindow window, ProcedureRef procedure) override;
  MessageResult CallProcedure(ProcedureRef procedure, NativeWindow window, std::uint32_t message,
                              std::uintptr_t wParam, std::intptr_t lParam) override;
};

class Win32Input final : public InputServices {
 public:
  std::optional<Point> CursorPosition() override;
  bool MoveCursor(Point to) override;
  bool SendLeftClick() override;

 private:
  std::optional<Point> lastMove_;
  std::optional<Point> moveBefore_;
  unsigned long long lastMoveTick_ = 0;
};

}  // namespace platform::win32
