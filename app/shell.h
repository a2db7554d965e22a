#pragma once

#include <cstdint>

#include "app/program.h"

namespace app {

inline constexpr std::int32_t kRows = 100;
inline constexpr int kRowPitch = 20;
inline constexpr int kFirstRowTop = 14;
inline constexpr int kScrollStep = 14;

int StartProgram(Program& program);
void ReleaseRowLists(Program& program);
void OnWindowCreated(Program& program);
void OnScrollPositionChanged(Program& program);

// The smallest scroll position, counted from 1, at which a panel of
// `panelHeight` shows its bottom edge inside a viewport of `viewportHeight`.
int ScrollMaximumFor(int panelHeight, int viewportHeight, int step);

}  // namespace app
