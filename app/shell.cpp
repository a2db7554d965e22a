#include "app/shell.h"

#include "app/layout.h"
#include "capture/capture.h"
#include "hotkeys/row_hotkeys.h"

namespace app {

namespace {

std::vector<platform::Binding> MainWindowBindings(Program& program) {
  std::vector<platform::Binding> bindings;
  bindings.push_back({kHotkeyTemplate, platform::Event::KeyDown, [&program](const platform::EventArgs& e) {
                        capture::OnHotkeyFieldKeyDown(program, e.keyCode, e.modifiers);
                      }});
  bindings.push_back({kApplyButton, platform::Event::Clicked,
                      [&program](const platform::EventArgs&) { hotkeys::OnApplyClicked(program); }});
  bindings.push_back({kScrollBar, platform::Event::PositionChanged,
                      [&program](const platform::EventArgs&) { OnScrollPositionChanged(program); }});
  return bindings;
}

}  // namespace

int StartProgram(Program& program) {
  platform::FormRuntime& form = program.form;
  if (!form.Initialise()) return 1;
  program.rows = RowLists{};
  form.AtEnd([&program] { ReleaseRowLists(program); });
  program.window = form.LoadWindow(MainWindowLayout(), MainWindowBindings(program),
                                   [&program](std::uint32_t window) {
                                     program.window = window;
                                     OnWindowCreated(program);
                                   });
  if (program.window == 0) return 1;
  return form.RunMessageLoop();
}

void ReleaseRowLists(Program& program) {
  program.rows.EnableBoxes.Release();
  program.rows.HotkeyFields.Release();
  program.rows.XFields.Release();
  program.rows.YFields.Release();
}

void OnWindowCreated(Program& program) {
  platform::FormRuntime& form = program.form;
  RowLists& rows = program.rows;
  program.RowCount = kRows;
  rows.HotkeyFields.Resize(program.RowCount);
  rows.XFields.Resize(program.RowCount);
  rows.YFields.Resize(program.RowCount);
  rows.EnableBoxes.Resize(program.RowCount);

  struct Column {
    RowList& list;
    platform::ControlRef source;
  };
  const Column columns[] = {
      {rows.HotkeyFields, program.Named(kHotkeyTemplate)},
      {rows.XFields, program.Named(kXTemplate)},
      {rows.YFields, program.Named(kYTemplate)},
      {rows.EnableBoxes, program.Named(kEnableTemplate)},
  };
  for (int n = 1; n <= program.RowCount; ++n) {
    for (const Column& column : columns) column.list[n] = form.Copy(column.source);
    for (const Column& column : columns) {
      const int pitch = form.Get(column.source, platform::Property::Height);
      form.Set(column.list[n], platform::Property::Top, pitch * (n - 1) + kFirstRowTop);
      form.Set(column.list[n], platform::Property::Visible, 1);
    }
  }

  const int panelHeight = program.RowCount * kRowPitch + kFirstRowTop;
  form.Set(program.Named(kPanel), platform::Property::Height, panelHeight);
  // A maximum of RowCount would leave the last rows below the viewport for good.
  const int viewportHeight = form.Get(program.Named(kViewport), platform::Property::Height);
  form.Set(program.Named(kScrollBar), platform::Property::MaxPosition,
           ScrollMaximumFor(panelHeight, viewportHeight, kScrollStep));
  capture::StartPositionCapture(program);
}

void OnScrollPositionChanged(Program& program) {
  const int position = program.form.Get(program.Named(kScrollBar), platform::Property::Position);
  program.form.Set(program.Named(kPanel), platform::Property::Top, -(position - 1) * kScrollStep);
}

int ScrollMaximumFor(int panelHeight, int viewportHeight, int step) {
  const int hidden = panelHeight - viewportHeight;
  if (hidden <= 0 || step <= 0) return 1;
  return 1 + (hidden + step - 1) / step;
}

}  // namespace app
