#include "platform/tab_order.h"

#include <algorithm>
#include <tuple>
#include <vector>

namespace platform {

namespace {

// children[p + 1] lists the children of node p (p = -1 for the window's own).
void AppendInReadingOrder(const std::vector<std::vector<int>>& children, int parent, std::vector<int>& out) {
  for (int child : children[static_cast<std::size_t>(parent + 1)]) {
    out.push_back(child);
    AppendInReadingOrder(children, child, out);
  }
}

}  // namespace

int NextTabStop(std::span<const TabNode> nodes, int current, bool backwards) {
  std::vector<std::vector<int>> children(nodes.size() + 1);
  for (int i = 0; i < static_cast<int>(nodes.size()); ++i) {
    const int parent = nodes[static_cast<std::size_t>(i)].parent;
    if (parent >= -1 && parent < static_cast<int>(nodes.size())) children[static_cast<std::size_t>(parent + 1)].push_back(i);
  }
  for (auto& siblings : children) {
    std::stable_sort(siblings.begin(), siblings.end(), [&](int a, int b) {
      const TabNode& na = nodes[static_cast<std::size_t>(a)];
      const TabNode& nb = nodes[static_cast<std::size_t>(b)];
      return std::tie(na.top, na.left) < std::tie(nb.top, nb.left);
    });
  }
  std::vector<int> order;
  order.reserve(nodes.size());
  AppendInReadingOrder(children, -1, order);
  std::erase_if(order, [&](int i) { return !nodes[static_cast<std::size_t>(i)].stop && i != current; });
  if (order.empty()) return -1;
  const auto found = std::find(order.begin(), order.end(), current);
  const int count = static_cast<int>(order.size());
  int at = found == order.end() ? (backwards ? 0 : count - 1) : static_cast<int>(found - order.begin());
  for (int step = 0; step < count; ++step) {
    at = backwards ? (at + count - 1) % count : (at + 1) % count;
    if (nodes[static_cast<std::size_t>(order[static_cast<std::size_t>(at)])].stop) {
      return order[static_cast<std::size_t>(at)];
    }
  }
  return -1;
}

}  // namespace platform
