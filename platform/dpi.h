#pragma once

namespace platform {

// Layouts and the program's numbers are in pixels at 96 DPI; the runtime
// turns them into the window's own pixels here and nowhere else.
inline constexpr int kBaseDpi = 96;

// Rounds half away from zero, so a position and its negative scale alike.
constexpr int ScaleToDpi(int logical, int dpi) {
  const long long scaled = static_cast<long long>(logical) * dpi;
  const long long half = kBaseDpi / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kBaseDpi : -((-scaled + half) / kBaseDpi));
}

constexpr int ScaleFromDpi(int physical, int dpi) {
  if (dpi <= 0) return physical;
  const long long base = static_cast<long long>(physical) * kBaseDpi;
  const long long half = dpi / 2;
  return static_cast<int>(base >= 0 ? (base + half) / dpi : -((-base + half) / dpi));
}

}  // namespace platform
