#include "platform/keys.h"

namespace platform {

namespace {
constexpr int kTab = 0x09;
constexpr int kEscape = 0x1B;
constexpr int kShiftKey = 0x10;
constexpr int kControlKey = 0x11;
constexpr int kAltKey = 0x12;
}  // namespace

KeyRoute RouteKey(int virtualKey, int heldModifiers) {
  const int code = virtualKey & 0xFF;
  if (code == kTab && (heldModifiers & (kCtrl | kAlt)) == 0) {
    return (heldModifiers & kShift) != 0 ? KeyRoute::FocusPrevious : KeyRoute::FocusNext;
  }
  if (code == kEscape && heldModifiers == 0) return KeyRoute::CloseWindow;
  return KeyRoute::KeyDownEvent;
}

int KeyDownCode(int virtualKey) {
  const int code = virtualKey & 0xFF;
  if (code >= 0x60 && code <= 0x69) return code - 0x60 + '0';  // keypad 0-9
  switch (code) {
    case 0x6D: return 0xBD;  // keypad minus
    case 0x6E: return 0xBE;  // keypad point
    case 0x6F: return 0xBF;  // keypad slash
    case 0xA0: case 0xA1: return kShiftKey;
    case 0xA2: case 0xA3: return kControlKey;
    case 0xA4: case 0xA5: return kAltKey;
    default: return code;
  }
}

int KeyDownModifiers(int keyDownCode, int heldModifiers) {
  switch (keyDownCode) {
    case kControlKey: return heldModifiers & ~kCtrl;
    case kShiftKey: return heldModifiers & ~kShift;
    case kAltKey: return heldModifiers & ~kAlt;
    default: return heldModifiers;
  }
}

}  // namespace platform
