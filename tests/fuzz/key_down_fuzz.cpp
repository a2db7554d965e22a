// Key presses with any virtual-key code and held modifiers, on the program
// started on the simulated desktop, with the focus and the rows set up by the
// input. After each press the program must have done exactly what a press
// does: a bare Esc closes the window, plain Tab or Shift+Tab moves the focus,
// a bare F1 writes the pointer into the first row without an x, any other key
// in a hotkey field writes its name and code into the first row without a key,
// and nothing else changes. Any difference, or any sanitizer report, is a crash.
//
// The input is a list of 4-byte records: op, a, b, c (see Run).

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/layout.h"
#include "app/shell.h"
#include "capture/key_names.h"
#include "platform/keys.h"
#include "platform/sim/sim_desktop.h"

namespace {

using platform::ControlRef;
using platform::sim::SimDesktop;

constexpr int kTab = 0x09;
constexpr int kEsc = 0x1B;
constexpr int kF1 = 0x70;
constexpr int kAllModifiers = platform::kCtrl | platform::kShift | platform::kAlt;

void Require(bool ok, const char* what, int vk = 0, int held = 0) {
  if (ok) return;
  std::fprintf(stderr, "broken: %s (virtual key %d, held %d)\n", what, vk, held);
  std::abort();
}

struct Row {
  std::string key, tag, x, y;
  int checked = 0;
  friend bool operator==(const Row&, const Row&) = default;
};

class Session {
 public:
  Session() { Require(app::StartProgram(program_) == SimDesktop::kStillOpen, "the program starts"); }

  void Run(const std::uint8_t* data, std::size_t size) {
    for (std::size_t at = 0; at + 4 <= size; at += 4) {
      const int op = data[at];
      const int a = data[at + 1];
      const int b = data[at + 2];
      const int c = data[at + 3];
      const int row = a % app::kRows + 1;
      if (op % 8 < 4) {
        // Any int the low byte of which names the key; negative ones too.
        const auto vk = static_cast<std::int16_t>(static_cast<std::uint16_t>(a | (b << 8)));
        Press(vk, c & kAllModifiers);
        continue;
      }
      if (!desktop_.WindowOpen()) continue;  // the rows are gone with the window
      const auto& rows = program_.rows;
      switch (op % 8) {
        case 4: desktop_.Click(rows.HotkeyFields[row]); break;
        case 5: {
          const ControlRef others[] = {rows.XFields[row], rows.YFields[row], rows.EnableBoxes[row]};
          desktop_.Click(others[b % 3]);
          break;
        }
        case 6:  // the user edits a field: cleared, or given something
          desktop_.SetText((b & 1) != 0 ? rows.XFields[row] : rows.HotkeyFields[row], (c & 1) != 0 ? "" : "Q键");
          break;
        default:  // many rows taken at once, and the pointer somewhere
          for (int n = 1; n <= a % (app::kRows + 1); ++n) {
            desktop_.SetText((b & 1) != 0 ? rows.XFields[n] : rows.HotkeyFields[n], "1");
          }
          desktop_.MovePointer({b * 5, c * 4});
          break;
      }
    }
  }

 private:
  std::vector<Row> Rows() const {
    std::vector<Row> rows;
    const auto& lists = program_.rows;
    for (int n = 1; n <= program_.RowCount; ++n) {
      rows.push_back({desktop_.Text(lists.HotkeyFields[n]), desktop_.Tag(lists.HotkeyFields[n]),
                      desktop_.Text(lists.XFields[n]), desktop_.Text(lists.YFields[n]),
                      desktop_.Get(lists.EnableBoxes[n], platform::Property::Checked)});
    }
    return rows;
  }

  // Whether a key-down in this control captures the key.
  bool CapturesKeys(ControlRef control) const {
    if (control == program_.Named(app::kHotkeyTemplate)) return true;
    for (int n = 1; n <= program_.RowCount; ++n) {
      if (control == program_.rows.HotkeyFields[n]) return true;
    }
    return false;
  }

  static std::size_t FirstEmpty(const std::vector<Row>& rows, std::string Row::*field) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if ((rows[i].*field).empty()) return i + 1;
    }
    return 0;
  }

  static void CheckKeyFunctions(int vk, int held) {
    const int code = platform::KeyDownCode(vk);
    Require(code >= 0 && code <= 0xFF, "the key-down code is a byte", vk, held);
    Require(platform::KeyDownCode(vk & 0xFF) == code, "only the low byte names the key", vk, held);
    Require(platform::KeyDownCode(code) == code, "a folded code folds no further", vk, held);
    const bool keypadFolded = (code >= 0x60 && code <= 0x69) || (code >= 0x6D && code <= 0x6F);
    Require(!keypadFolded && !(code >= 0xA0 && code <= 0xA5),
            "keypad digits, minus, point, slash and sided modifiers come as the main keys", vk, held);
    const int modifiers = platform::KeyDownModifiers(code, held);
    const int dropped = held & ~modifiers;
    Require((modifiers & ~held) == 0, "no modifier is added", vk, held);
    Require(dropped == 0 || (std::popcount(static_cast<unsigned>(dropped)) == 1 && code >= 0x10 && code <= 0x12),
            "only a pressed modifier key drops its own bit", vk, held);
    const int key = vk & 0xFF;
    // Shift, Ctrl and Alt of either side, and the generic codes.
    const int ownBit[] = {platform::kShift, platform::kCtrl, platform::kAlt};
    for (int n = 0; n < 3; ++n) {
      if (key == 0x10 + n || key == 0xA0 + 2 * n || key == 0xA1 + 2 * n) {
        Require((modifiers & ownBit[n]) == 0, "a pressed modifier key drops its own bit", vk, held);
      }
    }
    const bool takenByWindow = (key == kTab && (held & (platform::kCtrl | platform::kAlt)) == 0) ||
                               (key == kEsc && held == 0);
    Require((platform::RouteKey(vk, held) == platform::KeyRoute::KeyDownEvent) != takenByWindow,
            "only plain Tab, Shift+Tab and a bare Esc are taken by the window", vk, held);
  }

  void Press(int vk, int held) {
    CheckKeyFunctions(vk, held);
    const auto press = [&] {
      desktop_.Post([&] { desktop_.PressKey(vk, held); });
      return desktop_.RunMessageLoop();
    };
    if (!desktop_.WindowOpen()) {
      Require(press() == 0 && !desktop_.WindowOpen(), "a closed window stays closed", vk, held);
      return;
    }
    const std::vector<Row> before = Rows();
    const ControlRef focus = desktop_.Focus();
    const platform::Point cursor = desktop_.Cursor();
    const int key = vk & 0xFF;
    const int loop = press();

    if (key == kEsc && held == 0) {
      Require(loop == 0 && !desktop_.WindowOpen(), "a bare Esc closes the window", vk, held);
      Require(desktop_.EndRoutinesRun() > 0, "closing runs the end routines", vk, held);
      return;
    }
    Require(loop == SimDesktop::kStillOpen && desktop_.WindowOpen(), "only a bare Esc closes the window", vk, held);

    std::vector<Row> expected = before;
    const bool focusKey = key == kTab && (held & (platform::kCtrl | platform::kAlt)) == 0;
    if (key == kF1 && held == 0) {
      // Held by the program system-wide: wherever the focus is.
      if (const std::size_t n = FirstEmpty(before, &Row::x); n != 0) {
        expected[n - 1].x = std::to_string(cursor.x);
        expected[n - 1].y = std::to_string(cursor.y);
      }
    } else if (!focusKey && CapturesKeys(focus)) {
      const int code = platform::KeyDownCode(vk);
      const std::optional<std::string> name = capture::KeyNameOf(code);
      Require(!name || !name->empty(), "a key's name is not empty", vk, held);
      if (const std::size_t n = FirstEmpty(before, &Row::key); n != 0) {
        expected[n - 1].key = name.value_or("");
        expected[n - 1].tag = std::to_string(code);
      }
    }
    Require(Rows() == expected, "the rows changed as the press says and no more", vk, held);
    if (!focusKey) Require(desktop_.Focus() == focus, "only Tab moves the focus", vk, held);
  }

  // The desktop outlives the program, as in the program's own start-up.
  SimDesktop desktop_{1280, 1024, 96};
  app::Program program_{desktop_, desktop_, desktop_};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Session().Run(data, size);
  return 0;
}
