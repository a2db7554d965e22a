#include "hotkeys/row_hotkeys.h"

#include "app/layout.h"
#include "hotkeys/hotkey_table.h"
#include "input/click.h"
#include "platform/text_numbers.h"

namespace hotkeys {

void OnApplyClicked(app::Program& program) {
  platform::FormRuntime& form = program.form;
  for (int n = 1; n <= program.RowCount; ++n) {
    const bool enabled = form.Get(program.rows.EnableBoxes[n], platform::Property::Checked) != 0;
    const NativeWindow label = form.WindowHandle(program.Named(app::kHint));
    const int id = n + 1;
    if (!enabled) {
      UnregisterWindowHotkey(program.windows, label, id);
      continue;
    }
    const std::int32_t key = platform::TextToInt(form.Tag(program.rows.HotkeyFields[n]));
    RegisterWindowHotkey(
        program.windows, label, 0, static_cast<unsigned>(key),
        [&program](NativeWindow, std::uint32_t, std::uintptr_t wParam, std::intptr_t) -> MessageResult {
          FireRowHotkey(program, static_cast<int>(wParam));
          return 0;
        },
        id);
  }
}

void FireRowHotkey(app::Program& program, int id) {
  const int row = id - 1;
  if (row < 1 || row > program.RowCount) return;
  const std::int32_t x = platform::TextToInt(program.form.Text(program.rows.XFields[row]));
  const std::int32_t y = platform::TextToInt(program.form.Text(program.rows.YFields[row]));
  input::ClickAtPoint(program.input, x, y);
}

}  // namespace hotkeys
