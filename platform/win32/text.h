#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// Texts are UTF-8 inside the program and UTF-16 at the Windows boundary, so
// the Chinese texts show whatever the system's ANSI code page is.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace platform::win32
