#pragma once

#include <climits>
#include <span>
#include <string_view>

namespace platform {

enum class ControlKind { Window, GroupBox, EditBox, CheckBox, Label, VScrollBar, Button };

// Placement of a top-level window that is centred on the primary screen.
inline constexpr int kCentred = INT_MIN;

struct ScrollRange {
  int minimum = 1;
  int maximum = 100;
  int position = 1;
  int lineStep = 1;
  int pageStep = 10;
};

// One control of a window layout. Numbers are pixels at 96 DPI, relative to
// the parent's client area (the window's own size is its outer size). Texts
// are UTF-8.
struct ControlSpec {
  std::string_view name;
  ControlKind kind;
  std::string_view parent;  // empty: the window itself
  int left;
  int top;
  int width;
  int height;
  std::string_view text;
  bool visible = true;
  bool readOnly = false;
  bool tabStop = false;
  int fontHeight = 0;  // 0: the system's default GUI font
  ScrollRange scroll = {};

  // Settings beyond place and text, for readable layout tables.
  constexpr ControlSpec Hidden() const { ControlSpec c = *this; c.visible = false; return c; }
  constexpr ControlSpec ReadOnly() const { ControlSpec c = *this; c.readOnly = true; return c; }
  constexpr ControlSpec TabStop() const { ControlSpec c = *this; c.tabStop = true; return c; }
  constexpr ControlSpec Font(int pixels) const { ControlSpec c = *this; c.fontHeight = pixels; return c; }
  constexpr ControlSpec Scroll(ScrollRange range) const { ControlSpec c = *this; c.scroll = range; return c; }
};

// The window comes first, then every control after its parent.
struct Layout {
  std::span<const ControlSpec> controls;
};

}  // namespace platform
