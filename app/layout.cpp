#include "app/layout.h"

#include <array>

namespace app {

namespace {

using platform::ControlKind;
using platform::ControlSpec;
using platform::kCentred;

// clang-format off
constexpr std::array kMainWindow = {
//  name            kind                     parent      left      top       width height text
  ControlSpec{"主窗口",  ControlKind::Window,     "",         kCentred, kCentred, 378, 438, kWindowTitle},
  ControlSpec{"分组框1", ControlKind::GroupBox,   "",         0,        20,       339, 336, ""},
  ControlSpec{"分组框2", ControlKind::GroupBox,   "分组框1",  0,        0,        339, 336, ""},
  ControlSpec{"编辑框1", ControlKind::EditBox,    "分组框2",  8,        14,       80,  20,  ""}.Hidden().ReadOnly().TabStop(),
  ControlSpec{"编辑框2", ControlKind::EditBox,    "分组框2",  112,      14,       80,  20,  ""}.Hidden().TabStop(),
  ControlSpec{"编辑框3", ControlKind::EditBox,    "分组框2",  200,      14,       80,  20,  ""}.Hidden().TabStop(),
  ControlSpec{"选择框1", ControlKind::CheckBox,   "分组框2",  288,      14,       44,  20,  "启用"}.Hidden().TabStop(),
  ControlSpec{"标签2",   ControlKind::Label,      "",         8,        0,        80,  24,  "热键"},
  ControlSpec{"标签3",   ControlKind::Label,      "",         112,      0,        80,  24,  "鼠标x"},
  ControlSpec{"标签4",   ControlKind::Label,      "",         208,      0,        80,  24,  "鼠标y"},
  ControlSpec{"纵向滚动条1", ControlKind::VScrollBar, "",     344,      26,       24,  328, ""}
      .Scroll({.minimum = 1, .maximum = 100, .position = 1, .lineStep = 1, .pageStep = 10}),
  ControlSpec{"按钮1",   ControlKind::Button,     "",         248,      358,      122, 50,  "应用"}.TabStop().Font(16),
  ControlSpec{"标签1",   ControlKind::Label,      "",         7,        372,      239, 24,
              "F1 取鼠标坐标，修改了启用要点应用"}.Font(14),
};
// clang-format on

constexpr platform::Layout kLayout{kMainWindow};

}  // namespace

const platform::Layout& MainWindowLayout() { return kLayout; }

}  // namespace app
