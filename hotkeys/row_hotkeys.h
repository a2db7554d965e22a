#pragma once

#include "app/program.h"

namespace hotkeys {

// Makes every enabled row's key a system-wide hotkey that clicks the row's
// point, and releases the keys of the other rows.
void OnApplyClicked(app::Program& program);

// A row's hotkey was pressed: click at the row's x and y as they read now.
void FireRowHotkey(app::Program& program, int id);

}  // namespace hotkeys
