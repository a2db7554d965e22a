#pragma once

#include "app/program.h"

namespace capture {

inline constexpr int PositionCaptureId = 1;
inline constexpr unsigned kF1 = 0x70;

// Claims F1, system-wide, for CapturePosition; a refusal leaves F1 capture off.
void StartPositionCapture(app::Program& program);

// Writes the cursor's position into the first row whose x field is empty.
void CapturePosition(app::Program& program);

// Writes the key's name and code into the first row whose hotkey field is empty.
void OnHotkeyFieldKeyDown(app::Program& program, int keyCode, int modifiers);

}  // namespace capture
