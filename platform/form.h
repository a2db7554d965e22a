#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/layout.h"

namespace platform {

// Names one control of a loaded window; (0, 0) names none.
struct ControlRef {
  std::uint32_t window = 0;
  std::uint32_t control = 0;

  explicit operator bool() const { return window != 0 || control != 0; }
  friend bool operator==(ControlRef, ControlRef) = default;
};

// The system window behind a control (an HWND on Windows), kept opaque here.
using NativeWindow = std::uintptr_t;

enum class Property { Left, Top, Width, Height, Visible, Checked, Position, MaxPosition };

enum class Event { KeyDown, Clicked, PositionChanged };

struct EventArgs {
  int keyCode = 0;
  int modifiers = 0;  // kCtrl | kShift | kAlt
};

using Handler = std::function<void(const EventArgs&)>;

struct Binding {
  std::string_view control;
  Event event;
  Handler handler;
};

// The handler bound to `event` of the control named `control`, or null. A
// copy's events are looked up under its source's name.
inline const Handler* FindHandler(const std::vector<Binding>& bindings, std::string_view control, Event event) {
  for (const Binding& binding : bindings) {
    if (binding.event == event && binding.control == control && binding.handler) return &binding.handler;
  }
  return nullptr;
}

// The form runtime the program is built on: life cycle, windows loaded from
// a layout, control properties, copies of controls, the message loop.
class FormRuntime {
 public:
  virtual ~FormRuntime() = default;

  virtual bool Initialise() = 0;
  // Routines run once each, in order, after the message loop has ended.
  virtual void AtEnd(std::function<void()> routine) = 0;
  // Creates every control, shows the visible ones, runs `created` with the new
  // window's id, then shows the window. Returns the window's id, 0 on failure.
  virtual std::uint32_t LoadWindow(const Layout& layout, std::vector<Binding> bindings,
                                   std::function<void(std::uint32_t window)> created) = 0;
  // Runs until no loaded window is left, then the end routines; returns the
  // program's exit code.
  virtual int RunMessageLoop() = 0;

  virtual ControlRef Find(std::uint32_t window, std::string_view name) const = 0;
  virtual int Get(ControlRef control, Property property) const = 0;
  virtual void Set(ControlRef control, Property property, int value) = 0;
  virtual std::string Text(ControlRef control) const = 0;
  virtual void SetText(ControlRef control, std::string_view text) = 0;
  virtual std::string Tag(ControlRef control) const = 0;
  virtual void SetTag(ControlRef control, std::string_view tag) = 0;

  // A control of the source's kind and layout settings, under the same
  // parent, directly behind the source in z-order, invisible; its events run
  // the source's handlers. Returns (0, 0) on failure.
  virtual ControlRef Copy(ControlRef source) = 0;
  virtual NativeWindow WindowHandle(ControlRef control) const = 0;
};

}  // namespace platform
