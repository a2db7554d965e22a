#pragma once

#include <cstdlib>
#include <vector>

#include "platform/form.h"

namespace app {

// A fixed-length, 1-based list of control references. Reaching outside it is a
// program fault, so it stops the program rather than touch other memory.
class RowList {
 public:
  int Size() const { return static_cast<int>(items_.size()); }
  void Resize(int count) { items_.assign(static_cast<std::size_t>(count), platform::ControlRef{}); }
  void Release() { std::vector<platform::ControlRef>().swap(items_); }

  platform::ControlRef& operator[](int n) {
    if (n < 1 || n > Size()) std::abort();
    return items_[static_cast<std::size_t>(n - 1)];
  }
  const platform::ControlRef& operator[](int n) const {
    if (n < 1 || n > Size()) std::abort();
    return items_[static_cast<std::size_t>(n - 1)];
  }

 private:
  std::vector<platform::ControlRef> items_;
};

struct RowLists {
  RowList HotkeyFields;
  RowList XFields;
  RowList YFields;
  RowList EnableBoxes;
};

}  // namespace app
