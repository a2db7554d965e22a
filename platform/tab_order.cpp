#include "platform/tab_order.h"

#include <algorithm>
#include <tuple>
#include <vector>

namespace platform {

namespace {

void AppendInReadingOrder(std::span<const TabNode> nodes, int parent, std::vector<int>& out) {
  std::vector<int> children;
  for (int i = 0; i < static_cast<int>(nodes.size()); ++i) {
    if (nodes[static_cast<std::size_t>(i)].parent == parent) children.push_back(i);
  }
  std::stable_sort(children.begin(), children.end(), [&](int a, int b) {
    const TabNode& na = nodes[static_cast<std::size_t>(a)];
    const TabNode& nb = nodes[static_cast<std::size_t>(b)];
    return std::tie(na.top, na.left) < std::tie(nb.top, nb.left);
  });
  for (int child : children) {
    out.push_back(child);
    AppendInReadingOrder(nodes, child, out);
  }
}

}  // namespace

int NextTabStop(std::span<const TabNode> nodes, int current, bool backwards) {
  std::vector<int> order;
  order.reserve(nodes.size());
  AppendInReadingOrder(nodes, -1, order);
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
