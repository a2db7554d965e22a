#pragma once

#include <span>

namespace platform {

struct TabNode {
  int parent;  // index of the parent node, -1 for the window's own children
  int left;
  int top;
  bool stop;   // visible, enabled and a tab stop
};

// The stop after (or before) `current` in reading order: containers depth
// first, siblings by top then left, layout order on ties. A copied row stacks
// behind its template in z-order, so z-order would walk the grid bottom-up.
// Returns -1 when there is no stop; `current` -1 starts from either end.
int NextTabStop(std::span<const TabNode> nodes, int current, bool backwards);

}  // namespace platform
