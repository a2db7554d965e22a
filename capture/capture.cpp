#include "capture/capture.h"

#include "app/layout.h"
#include "capture/key_names.h"
#include "hotkeys/hotkey_table.h"
#include "platform/text_numbers.h"

namespace capture {

namespace {

// The first row whose field in `list` is empty, or 0 when every row is taken.
int FirstEmptyRow(const app::Program& program, const app::RowList& list) {
  for (int n = 1; n <= program.RowCount && n <= list.Size(); ++n) {
    if (program.form.Text(list[n]).empty()) return n;
  }
  return 0;
}

}  // namespace

void StartPositionCapture(app::Program& program) {
  const platform::NativeWindow label = program.form.WindowHandle(program.Named(app::kHint));
  hotkeys::RegisterWindowHotkey(
      program.windows, label, 0, kF1,
      [&program](platform::NativeWindow, std::uint32_t, std::uintptr_t, std::intptr_t) -> platform::MessageResult {
        CapturePosition(program);
        return 0;
      },
      PositionCaptureId);
}

void CapturePosition(app::Program& program) {
  const int n = FirstEmptyRow(program, program.rows.XFields);
  if (n == 0) return;
  // One reading for both, so x and y are of the same instant.
  const auto cursor = program.input.CursorPosition();
  if (!cursor) return;
  program.form.SetText(program.rows.XFields[n], platform::IntToText(cursor->x));
  program.form.SetText(program.rows.YFields[n], platform::IntToText(cursor->y));
}

void OnHotkeyFieldKeyDown(app::Program& program, int keyCode, int /*modifiers*/) {
  const int n = FirstEmptyRow(program, program.rows.HotkeyFields);
  if (n == 0) return;
  const platform::ControlRef field = program.rows.HotkeyFields[n];
  program.form.SetText(field, KeyNameOf(keyCode).value_or(""));
  program.form.SetTag(field, platform::IntToText(keyCode));
}

}  // namespace capture
