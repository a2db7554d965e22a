#include "capture/key_names.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace capture {
namespace {

// The named codes outside the digit, letter and function-key runs.
const std::map<int, std::string> kSpecialNames = {
    {3, "Break"},          {8, "退格键"},       {9, "Tab键"},          {13, "回车键"},
    {16, "Shift键"},       {17, "Ctrl键"},      {18, "Alt键"},         {19, "Pause键"},
    {20, "Caps Lock键"},   {27, "Esc键"},       {32, "空格键"},        {33, "PageUp键"},
    {34, "PageDown键"},    {35, "End键"},       {36, "Home键"},        {37, "左光标键"},
    {38, "上光标键"},      {39, "右光标键"},    {40, "下光标键"},      {45, "Ins键"},
    {46, "Del键"},         {91, "Win键"},       {106, "乘号键"},       {107, "加号键"},
    {144, "NumLock键"},    {145, "ScrollLock键"}, {160, "左shift键"},  {161, "右shift键"},
    {162, "左CTRL键"},     {163, "右CTRL键"},   {186, "分号键"},       {187, "等号键"},
    {188, "逗号键"},       {189, "减号键"},     {190, "圆点键"},       {191, "除号键"},
    {192, "反撇号键"},     {219, "左中括号键"}, {220, "斜杠键"},       {221, "右中括号键"},
    {222, "单引号键"},
};

std::optional<std::string> Expected(int code) {
  if (code >= '0' && code <= '9') return std::string(1, static_cast<char>(code)) + "键";
  if (code >= 'A' && code <= 'Z') return std::string(1, static_cast<char>(code)) + "键";
  if (code >= 112 && code <= 127) return "F" + std::to_string(code - 111) + "键";
  const auto found = kSpecialNames.find(code);
  if (found != kSpecialNames.end()) return found->second;
  return std::nullopt;
}

TEST(KeyNameOf, EveryCodeFromZeroTo255) {
  for (int code = 0; code <= 255; ++code) EXPECT_EQ(KeyNameOf(code), Expected(code)) << "code " << code;
}

TEST(KeyNameOf, LookAlikesAreToldApart) {
  struct Case {
    int code;
    std::optional<std::string> name;
  };
  const Case cases[] = {
      {17, "Ctrl键"},  {162, "左CTRL键"}, {163, "右CTRL键"}, {16, "Shift键"}, {160, "左shift键"},
      {161, "右shift键"}, {191, "除号键"}, {220, "斜杠键"}, {106, "乘号键"}, {107, "加号键"},
      {109, std::nullopt}, {110, std::nullopt}, {111, std::nullopt}, {96, std::nullopt},
      {105, std::nullopt}, {0, std::nullopt}, {128, std::nullopt}, {143, std::nullopt},
      {223, std::nullopt}, {-1, std::nullopt}, {256 + 'A', std::nullopt},
      {112, "F1键"}, {127, "F16键"}, {'0', "0键"}, {'Z', "Z键"},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyNameOf(c.code), c.name) << "code " << c.code;
}

}  // namespace
}  // namespace capture
