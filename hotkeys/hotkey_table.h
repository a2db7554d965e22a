#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/window_services.h"

namespace hotkeys {

using platform::MessageResult;
using platform::NativeWindow;

// Runs when its hotkey is pressed, with the hotkey message itself (wParam is the id).
using HotkeyCallback =
    std::function<MessageResult(NativeWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)>;

struct HotkeyEntry {
  NativeWindow window = 0;
  int id = 0;
  HotkeyCallback callback;
};

// One per window that has recorded a hotkey, owned by the window through its
// "HOTKEYLIST" property. Entries keep the order in which they were recorded.
struct HotkeyList {
  platform::ProcedureRef previous = 0;
  std::vector<HotkeyEntry> entries;
};

inline constexpr const char* kHotkeyListProperty = "HOTKEYLIST";

// Registers the hotkey with the system for `window` and records `callback` for
// it, replacing an earlier registration of the same id. False, with nothing
// registered or recorded, when id is 0, the system refuses, or recording fails.
bool RegisterWindowHotkey(platform::WindowServices& services, NativeWindow window, unsigned modifiers,
                          unsigned virtualKey, HotkeyCallback callback, int id);

// Undoes one registration: the system's result (nonzero on success), or 0
// when the window has no entry for id.
int UnregisterWindowHotkey(platform::WindowServices& services, NativeWindow window, int id);

// Put in front of a window's own procedure while it has a table: runs the
// first recorded callback whose id matches a hotkey message, passes every
// other message on, and frees the table when the window goes.
MessageResult TAVRIN_WINDOW_CALLBACK HotkeyWindowProc(NativeWindow window, std::uint32_t message,
                                                      std::uintptr_t wParam, std::intptr_t lParam) noexcept;

// The window's table, or null.
const HotkeyList* FindHotkeyList(platform::WindowServices& services, NativeWindow window);

}  // namespace hotkeys
