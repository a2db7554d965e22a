#pragma once

#include <cstdint>
#include <string_view>

#include "platform/form.h"

// A window procedure as Windows calls it; 32-bit Windows uses stdcall.
#if defined(_WIN32) && !defined(_WIN64)
#define TAVRIN_WINDOW_CALLBACK __stdcall
#else
#define TAVRIN_WINDOW_CALLBACK
#endif

namespace platform {

using MessageResult = std::intptr_t;
using WindowProc = MessageResult(TAVRIN_WINDOW_CALLBACK*)(NativeWindow window, std::uint32_t message,
                                                          std::uintptr_t wParam, std::intptr_t lParam);
// A window's procedure as the system hands it out; only CallProcedure may call it.
using ProcedureRef = std::uintptr_t;

inline ProcedureRef ToProcedureRef(WindowProc procedure) { return reinterpret_cast<ProcedureRef>(procedure); }

inline constexpr std::uint32_t kHotkeyMessage = 0x0312;    // WM_HOTKEY
inline constexpr std::uint32_t kNonClientDestroy = 0x0082;  // WM_NCDESTROY, a window's last message
inline constexpr std::uint32_t kHotkeyTaken = 1409;         // ERROR_HOTKEY_ALREADY_REGISTERED

// System-wide hotkeys, window properties and subclassing.
class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // modifiers are the system's own bits (Alt 1, Ctrl 2, Shift 4, Win 8).
  virtual bool RegisterHotKey(NativeWindow window, int id, unsigned modifiers, unsigned virtualKey) = 0;
  virtual bool UnregisterHotKey(NativeWindow window, int id) = 0;

  virtual void* GetProperty(NativeWindow window, std::string_view name) = 0;
  virtual bool SetProperty(NativeWindow window, std::string_view name, void* value) = 0;
  virtual void* RemoveProperty(NativeWindow window, std::string_view name) = 0;

  // Makes `procedure` the window's procedure; returns the one it replaced, 0 on failure.
  virtual ProcedureRef SetWindowProcedure(NativeWindow window, ProcedureRef procedure) = 0;
  virtual MessageResult CallProcedure(ProcedureRef procedure, NativeWindow window, std::uint32_t message,
                                      std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace platform
