#include "platform/keys.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(RouteKey, OnlyPlainTabShiftTabAndBareEscAreTakenByTheWindow) {
  struct Case {
    int key;
    int held;
    KeyRoute route;
  };
  const Case cases[] = {
      {0x09, 0, KeyRoute::FocusNext},
      {0x09, kShift, KeyRoute::FocusPrevious},
      {0x09, kCtrl, KeyRoute::KeyDownEvent},
      {0x09, kCtrl | kShift, KeyRoute::KeyDownEvent},
      {0x09, kAlt, KeyRoute::KeyDownEvent},
      {0x1B, 0, KeyRoute::CloseWindow},
      {0x1B, kShift, KeyRoute::KeyDownEvent},
      {0x1B, kCtrl, KeyRoute::KeyDownEvent},
      {0x1B, kAlt, KeyRoute::KeyDownEvent},
      {0x41, 0, KeyRoute::KeyDownEvent},
      {0x0D, 0, KeyRoute::KeyDownEvent},
      {0x109, 0, KeyRoute::FocusNext},  // only the low byte names the key
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RouteKey(c.key, c.held), c.route) << "key " << c.key << " held " << c.held;
  }
}

TEST(KeyDownCode, FoldsKeypadAndSidedModifierKeys) {
  struct Case {
    int virtualKey;
    int code;
  };
  const Case cases[] = {
      {0x60, '0'}, {0x61, '1'}, {0x69, '9'},     // keypad digits
      {0x6A, 0x6A}, {0x6B, 0x6B},                // keypad multiply and add stay
      {0x6D, 0xBD}, {0x6E, 0xBE}, {0x6F, 0xBF},  // keypad minus, point, slash
      {0x6C, 0x6C},                              // separator is not folded
      {0xA0, 0x10}, {0xA1, 0x10}, {0xA2, 0x11}, {0xA3, 0x11}, {0xA4, 0x12}, {0xA5, 0x12},
      {0x41, 0x41}, {0x5D, 0x5D}, {0x70, 0x70}, {0xFF, 0xFF},
      {0x141, 0x41},  // high bits dropped
  };
  for (const Case& c : cases) EXPECT_EQ(KeyDownCode(c.virtualKey), c.code) << c.virtualKey;
}

TEST(KeyDownModifiers, DropsOnlyThePressedModifiersOwnBit) {
  const int all = kCtrl | kShift | kAlt;
  EXPECT_EQ(KeyDownModifiers(0x11, all), kShift | kAlt);
  EXPECT_EQ(KeyDownModifiers(0x10, all), kCtrl | kAlt);
  EXPECT_EQ(KeyDownModifiers(0x12, all), kCtrl | kShift);
  EXPECT_EQ(KeyDownModifiers(0x41, all), all);
  EXPECT_EQ(KeyDownModifiers(0x11, kCtrl), 0);
}

}  // namespace
}  // namespace platform
