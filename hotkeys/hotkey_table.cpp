#include "hotkeys/hotkey_table.h"

#include <algorithm>
#include <memory>
#include <new>

namespace hotkeys {

namespace {

// Windows calls a window procedure with nothing but the window, so the
// services that reach the window's table are kept here for HotkeyWindowProc.
platform::WindowServices* procedureServices = nullptr;

HotkeyList* TableOf(platform::WindowServices& services, NativeWindow window) {
  return static_cast<HotkeyList*>(services.GetProperty(window, kHotkeyListProperty));
}

// Gives the window its own procedure back and frees its table.
void DropTable(platform::WindowServices& services, NativeWindow window) {
  std::unique_ptr<HotkeyList> table(static_cast<HotkeyList*>(services.RemoveProperty(window, kHotkeyListProperty)));
  if (table != nullptr && table->previous != 0) services.SetWindowProcedure(window, table->previous);
}

// Records the entry; on any failure leaves the window's table as it was.
bool Record(platform::WindowServices& services, NativeWindow window, HotkeyCallback callback, int id) {
  HotkeyList* table = TableOf(services, window);
  std::unique_ptr<HotkeyList> created;
  if (table == nullptr) {
    try {
      created = std::make_unique<HotkeyList>();
    } catch (const std::bad_alloc&) {
      return false;
    }
    table = created.get();
  }
  if (!services.SetProperty(window, kHotkeyListProperty, table)) return false;
  if (created != nullptr) created.release();  // the property owns it now

  if (table->previous == 0) {
    procedureServices = &services;
    table->previous = services.SetWindowProcedure(window, platform::ToProcedureRef(&HotkeyWindowProc));
  }
  bool recorded = table->previous != 0;
  if (recorded) {
    try {
      table->entries.push_back({window, id, std::move(callback)});
    } catch (const std::bad_alloc&) {
      recorded = false;
    }
  }
  if (!recorded && table->entries.empty()) DropTable(services, window);
  return recorded;
}

}  // namespace

bool RegisterWindowHotkey(platform::WindowServices& services, NativeWindow window, unsigned modifiers,
                          unsigned virtualKey, HotkeyCallback callback, int id) {
  if (id == 0) return false;
  UnregisterWindowHotkey(services, window, id);
  if (!services.RegisterHotKey(window, id, modifiers, virtualKey)) return false;
  // A hotkey with no callback would reach the window's own procedure and
  // could never be undone through the table.
  if (!Record(services, window, std::move(callback), id)) {
    services.UnregisterHotKey(window, id);
    return false;
  }
  return true;
}

int UnregisterWindowHotkey(platform::WindowServices& services, NativeWindow window, int id) {
  if (id == 0) return 0;
  HotkeyList* table = TableOf(services, window);
  if (table == nullptr) return 0;
  auto& entries = table->entries;
  const auto found = std::find_if(entries.begin(), entries.end(), [id](const HotkeyEntry& e) { return e.id == id; });
  if (found == entries.end()) return 0;
  const int result = services.UnregisterHotKey(window, id) ? 1 : 0;
  if (entries.size() == 1) {
    DropTable(services, window);
  } else {
    entries.erase(found);
  }
  return result;
}

MessageResult TAVRIN_WINDOW_CALLBACK HotkeyWindowProc(NativeWindow window, std::uint32_t message,
                                                      std::uintptr_t wParam, std::intptr_t lParam) noexcept {
  if (procedureServices == nullptr) return 0;
  platform::WindowServices& services = *procedureServices;
  const HotkeyList* table = TableOf(services, window);
  if (table == nullptr) return 0;
  const platform::ProcedureRef previous = table->previous;

  if (message == platform::kNonClientDestroy) {
    DropTable(services, window);
    return services.CallProcedure(previous, window, message, wParam, lParam);
  }
  if (message == platform::kHotkeyMessage) {
    for (const HotkeyEntry& entry : table->entries) {
      if (static_cast<std::uintptr_t>(entry.id) != wParam) continue;
      try {
        // A copy: the callback may unregister its own entry.
        const HotkeyCallback callback = entry.callback;
        return callback ? callback(window, message, wParam, lParam) : 0;
      } catch (...) {
        return 0;  // nothing may unwind into the system's frames
      }
    }
  }
  return services.CallProcedure(previous, window, message, wParam, lParam);
}

const HotkeyList* FindHotkeyList(platform::WindowServices& services, NativeWindow window) {
  return TableOf(services, window);
}

}  // namespace hotkeys
