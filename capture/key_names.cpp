#include "capture/key_names.h"

#include <array>
#include <string_view>

namespace capture {

namespace {

struct NamedKey {
  int code;
  std::string_view name;
};

constexpr std::array kNamedKeys = {
    NamedKey{3, "Break"},          NamedKey{8, "退格键"},        NamedKey{9, "Tab键"},
    NamedKey{13, "回车键"},        NamedKey{16, "Shift键"},      NamedKey{17, "Ctrl键"},
    NamedKey{18, "Alt键"},         NamedKey{19, "Pause键"},      NamedKey{20, "Caps Lock键"},
    NamedKey{27, "Esc键"},         NamedKey{32, "空格键"},       NamedKey{33, "PageUp键"},
    NamedKey{34, "PageDown键"},    NamedKey{35, "End键"},        NamedKey{36, "Home键"},
    NamedKey{37, "左光标键"},      NamedKey{38, "上光标键"},     NamedKey{39, "右光标键"},
    NamedKey{40, "下光标键"},      NamedKey{45, "Ins键"},        NamedKey{46, "Del键"},
    NamedKey{91, "Win键"},         NamedKey{106, "乘号键"},      NamedKey{107, "加号键"},
    NamedKey{144, "NumLock键"},    NamedKey{145, "ScrollLock键"}, NamedKey{160, "左shift键"},
    NamedKey{161, "右shift键"},    NamedKey{162, "左CTRL键"},    NamedKey{163, "右CTRL键"},
    NamedKey{186, "分号键"},       NamedKey{187, "等号键"},      NamedKey{188, "逗号键"},
    NamedKey{189, "减号键"},       NamedKey{190, "圆点键"},      NamedKey{191, "除号键"},
    NamedKey{192, "反撇号键"},     NamedKey{219, "左中括号键"},  NamedKey{220, "斜杠键"},
    NamedKey{221, "右中括号键"},   NamedKey{222, "单引号键"},
};

constexpr std::string_view kKey = "键";

}  // namespace

std::optional<std::string> KeyNameOf(int code) {
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) {
    return std::string(1, static_cast<char>(code)).append(kKey);
  }
  if (code >= 112 && code <= 127) return "F" + std::to_string(code - 111).append(kKey);
  for (const NamedKey& key : kNamedKeys) {
    if (key.code == code) return std::string(key.name);
  }
  return std::nullopt;
}

}  // namespace capture
