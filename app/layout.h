#pragma once

#include "platform/layout.h"

namespace app {

// Names of the layout's controls, as the handlers refer to them.
inline constexpr const char* kHotkeyTemplate = "编辑框1";
inline constexpr const char* kXTemplate = "编辑框2";
inline constexpr const char* kYTemplate = "编辑框3";
inline constexpr const char* kEnableTemplate = "选择框1";
inline constexpr const char* kViewport = "分组框1";
inline constexpr const char* kPanel = "分组框2";
inline constexpr const char* kScrollBar = "纵向滚动条1";
inline constexpr const char* kApplyButton = "按钮1";
inline constexpr const char* kHint = "标签1";

inline constexpr const char* kWindowTitle = "TavrinV1.0 ByMorvel_Ostrane";

const platform::Layout& MainWindowLayout();

}  // namespace app
