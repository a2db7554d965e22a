#include "platform/scrolling.h"

#include <algorithm>

namespace platform {

int ScrollTarget(const ScrollRange& bar, ScrollAction action, int trackPosition) {
  int target = bar.position;
  switch (action) {
    case ScrollAction::LineUp: target = bar.position - bar.lineStep; break;
    case ScrollAction::LineDown: target = bar.position + bar.lineStep; break;
    case ScrollAction::PageUp: target = bar.position - bar.pageStep; break;
    case ScrollAction::PageDown: target = bar.position + bar.pageStep; break;
    case ScrollAction::Top: target = bar.minimum; break;
    case ScrollAction::Bottom: target = bar.maximum; break;
    case ScrollAction::Track: target = trackPosition; break;
  }
  return std::clamp(target, bar.minimum, std::max(bar.minimum, bar.maximum));
}

std::optional<ScrollAction> RevealStep(int top, int bottom, int visibleTop, int visibleBottom) {
  if (top < visibleTop) return ScrollAction::LineUp;
  if (bottom > visibleBottom) return ScrollAction::LineDown;
  return std::nullopt;
}

int WheelAccumulator::Lines(int delta, int linesPerNotch) {
  constexpr int kNotch = 120;
  // Turning back cancels what was left over of the other direction.
  if ((delta > 0) != (pending_ > 0)) pending_ = 0;
  pending_ += std::clamp(delta, -100 * kNotch, 100 * kNotch);
  const int notches = pending_ / kNotch;
  pending_ -= notches * kNotch;
  return -notches * linesPerNotch;
}

}  // namespace platform
