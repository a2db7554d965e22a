// tavrin-probe: reads another program's windows from outside, as any other
// program could, and prints what it sees as JSON (UTF-8) for the e2e tests.
//
//   tavrin-probe tree <title>                 the window and all its descendants
//   tavrin-probe wait <title> <timeout_ms>    exit 0 once it exists and is visible
//   tavrin-probe cursor                       the pointer position
//   tavrin-probe register-hotkey <vk>         whether the key can still be taken

#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr UINT kSendTimeoutMs = 2000;

struct LocalFreeDeleter {
  void operator()(LPWSTR* p) const { LocalFree(p); }
};
using ArgvPtr = std::unique_ptr<LPWSTR, LocalFreeDeleter>;

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::string JsonString(std::wstring_view text) {
  std::string out = "\"";
  for (char c : Utf8(text)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

// One JSON object, built by appending "key":value members. (Appending, not
// "literal" + string, which GCC 12 at -O3 flags with a false -Wrestrict.)
class JsonObject {
 public:
  JsonObject& Raw(std::string_view key, std::string_view value) {
    text_ += text_.empty() ? "{\"" : ",\"";
    text_ += key;
    text_ += "\":";
    text_ += value;
    return *this;
  }
  JsonObject& Int(std::string_view key, long long value) {
    return Raw(key, std::to_string(value));
  }
  JsonObject& Bool(std::string_view key, bool value) {
    return Raw(key, value ? "true" : "false");
  }
  JsonObject& Handle(std::string_view key, HWND hwnd) {
    return Raw(key, std::to_string(reinterpret_cast<std::uintptr_t>(hwnd)));
  }
  JsonObject& Rect(std::string_view key, const RECT& r) {
    std::string value = "[";
    for (LONG n : {r.left, r.top, r.right, r.bottom}) {
      if (value.size() > 1) value += ',';
      value += std::to_string(n);
    }
    value += ']';
    return Raw(key, value);
  }
  std::string Text() const { return text_.empty() ? "{}" : text_ + "}"; }

 private:
  std::string text_;
};

void Write(FILE* stream, std::string line) {
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stream);
  std::fflush(stream);
}

void Fail(std::wstring_view message) { Write(stderr, Utf8(message)); }

void Fail(std::wstring_view what, std::wstring_view detail) {
  std::wstring message(what);
  message += detail;
  Fail(message);
}

// A message to another process's window, which may hang: never wait forever.
std::optional<LRESULT> Send(HWND hwnd, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(hwnd, message, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &result)) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(result);
}

// GetWindowTextW cannot read another process's edit control; WM_GETTEXT can.
// One message for the usual short text; the length is asked only if it fills
// the buffer.
std::string TextJson(HWND hwnd) {
  std::wstring text(256, L'\0');
  auto copied = Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  if (copied && static_cast<std::size_t>(*copied) + 1 >= text.size()) {
    auto length = Send(hwnd, WM_GETTEXTLENGTH);
    if (!length) return "null";
    text.assign(static_cast<std::size_t>(*length) + 1, L'\0');
    copied = Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  }
  if (!copied) return "null";
  text.resize(static_cast<std::size_t>(*copied));
  return JsonString(text);
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[256] = {};
  int length = GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
  return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::string CheckJson(HWND hwnd, const std::wstring& cls) {
  if (_wcsicmp(cls.c_str(), L"Button") != 0) return "null";
  auto state = Send(hwnd, BM_GETCHECK);
  return state ? std::to_string(*state) : "null";
}

std::string ScrollJson(HWND hwnd, const std::wstring& cls) {
  if (_wcsicmp(cls.c_str(), L"ScrollBar") != 0) return "null";
  auto pos = Send(hwnd, SBM_GETPOS);
  INT min = 0;
  INT max = 0;
  auto range = Send(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(&min),
                    reinterpret_cast<LPARAM>(&max));
  if (!pos || !range) return "null";
  return JsonObject().Int("pos", *pos).Int("min", min).Int("max", max).Text();
}

// Members every window has, top-level or child.
JsonObject WindowJson(HWND hwnd, const std::wstring& cls) {
  RECT rect = {};
  GetWindowRect(hwnd, &rect);
  JsonObject json;
  json.Handle("hwnd", hwnd)
      .Raw("class", JsonString(cls))
      .Raw("text", TextJson(hwnd))
      .Rect("rect", rect)
      .Bool("visible", IsWindowVisible(hwnd))
      .Int("style", static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)))
      .Int("exstyle", static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)));
  return json;
}

std::string ChildJson(HWND hwnd) {
  std::wstring cls = ClassName(hwnd);
  return WindowJson(hwnd, cls)
      .Handle("parent", GetAncestor(hwnd, GA_PARENT))
      .Int("id", GetDlgCtrlID(hwnd))
      .Raw("check", CheckJson(hwnd, cls))
      .Raw("scroll", ScrollJson(hwnd, cls))
      .Text();
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

int Tree(const wchar_t* title) {
  HWND top = FindWindowW(nullptr, title);
  if (!top) {
    Fail(L"no top-level window titled ", title);
    return 1;
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(top, &pid);

  RECT client = {};
  GetClientRect(top, &client);
  POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
  ClientToScreen(top, &corners[0]);
  ClientToScreen(top, &corners[1]);
  RECT clientOnScreen = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};

  // Collected first: the callback must not wait on the target's replies.
  std::vector<HWND> children;
  EnumChildWindows(top, CollectChild, reinterpret_cast<LPARAM>(&children));
  std::string list = "[";
  for (HWND child : children) {
    if (list.size() > 1) list += ',';
    list += ChildJson(child);
  }
  list += ']';

  Write(stdout, WindowJson(top, ClassName(top))
                    .Int("pid", pid)
                    .Rect("client", clientOnScreen)
                    .Raw("children", list)
                    .Text());
  return 0;
}

int Wait(const wchar_t* title, const wchar_t* timeoutText) {
  wchar_t* end = nullptr;
  unsigned long timeoutMs = std::wcstoul(timeoutText, &end, 10);
  if (end == timeoutText || *end != L'\0') {
    Fail(L"bad timeout: ", timeoutText);
    return 2;
  }
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    HWND top = FindWindowW(nullptr, title);
    if (top && IsWindowVisible(top)) return 0;
    if (GetTickCount64() >= deadline) break;
    Sleep(20);
  }
  Fail(L"timed out waiting for a visible window titled ", title);
  return 1;
}

int Cursor() {
  POINT point = {};
  if (!GetCursorPos(&point)) {
    Fail(L"GetCursorPos failed: ", std::to_wstring(GetLastError()));
    return 1;
  }
  Write(stdout, JsonObject().Int("x", point.x).Int("y", point.y).Text());
  return 0;
}

int RegisterHotkey(const wchar_t* vkText) {
  wchar_t* end = nullptr;
  unsigned long vk = std::wcstoul(vkText, &end, 0);  // decimal or 0x-hex
  if (end == vkText || *end != L'\0' || vk == 0 || vk > 0xFF) {
    Fail(L"bad virtual-key code: ", vkText);
    return 2;
  }
  if (RegisterHotKey(nullptr, 1, 0, static_cast<UINT>(vk))) {
    UnregisterHotKey(nullptr, 1);
    Write(stdout, JsonObject().Bool("ok", true).Text());
  } else {
    DWORD error = GetLastError();
    Write(stdout, JsonObject().Bool("ok", false).Int("error", error).Text());
  }
  return 0;
}

int Usage() {
  Fail(L"usage: tavrin-probe tree <title> | wait <title> <timeout_ms> | cursor | "
       L"register-hotkey <vk>");
  return 2;
}

}  // namespace

int main() {
  // LF line ends, not CRLF: the output is parsed, not read in a console.
  _setmode(_fileno(stdout), _O_BINARY);

  int argc = 0;
  ArgvPtr argv(CommandLineToArgvW(GetCommandLineW(), &argc));
  if (!argv || argc < 2) return Usage();
  std::vector<std::wstring_view> args(argv.get() + 1, argv.get() + argc);
  auto arg = [&](std::size_t i) { return argv.get()[i + 1]; };

  if (args[0] == L"tree" && args.size() == 2) return Tree(arg(1));
  if (args[0] == L"wait" && args.size() == 3) return Wait(arg(1), arg(2));
  if (args[0] == L"cursor" && args.size() == 1) return Cursor();
  if (args[0] == L"register-hotkey" && args.size() == 2) return RegisterHotkey(arg(1));
  return Usage();
}
