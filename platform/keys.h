#pragma once

namespace platform {

// Modifier bits of the key-down event.
inline constexpr int kCtrl = 1;
inline constexpr int kShift = 2;
inline constexpr int kAlt = 4;

enum class KeyRoute { FocusNext, FocusPrevious, CloseWindow, KeyDownEvent };

// What a key pressed inside the window does. Only these exact combinations
// are taken by the window: Ctrl+Tab or Shift+Esc still reach the control.
KeyRoute RouteKey(int virtualKey, int heldModifiers);

// The code the key-down event carries: the low byte of the virtual key, with
// the keypad's digits, minus, point and slash folded onto the main keys and
// either side's Ctrl, Shift and Alt onto the generic codes.
int KeyDownCode(int virtualKey);

// The held modifiers without the bit of the pressed key itself.
int KeyDownModifiers(int keyDownCode, int heldModifiers);

}  // namespace platform
