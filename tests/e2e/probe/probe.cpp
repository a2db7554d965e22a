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
  return out + "\"";
}

std::string Number(HWND hwnd) { return std::to_string(reinterpret_cast<std::uintptr_t>(hwnd)); }

std::string Bool(bool value) { return value ? "true" : "false"; }

std::string RectJson(const RECT& r) {
  return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + "]";
}

void Print(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fwrite("\n", 1, 1, stdout);
  std::fflush(stdout);
}

void Fail(const std::wstring& message) {
  std::string line = Utf8(message) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
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
  return "{\"pos\":" + std::to_string(*pos) + ",\"min\":" + std::to_string(min) +
         ",\"max\":" + std::to_string(max) + "}";
}

// Fields every window has, top-level or child.
std::string CommonFields(HWND hwnd, const std::wstring& cls) {
  RECT rect = {};
  GetWindowRect(hwnd, &rect);
  return "\"hwnd\":" + Number(hwnd) + ",\"class\":" + JsonString(cls) +
         ",\"text\":" + TextJson(hwnd) + ",\"rect\":" + RectJson(rect) +
         ",\"visible\":" + Bool(IsWindowVisible(hwnd)) +
         ",\"style\":" + std::to_string(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE))) +
         ",\"exstyle\":" + std::to_string(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)));
}

std::string ChildJson(HWND hwnd) {
  std::wstring cls = ClassName(hwnd);
  return "{" + CommonFields(hwnd, cls) +
         ",\"parent\":" + Number(GetAncestor(hwnd, GA_PARENT)) +
         ",\"id\":" + std::to_string(GetDlgCtrlID(hwnd)) +
         ",\"check\":" + CheckJson(hwnd, cls) + ",\"scroll\":" + ScrollJson(hwnd, cls) + "}";
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

int Tree(const wchar_t* title) {
  HWND top = FindWindowW(nullptr, title);
  if (!top) {
    Fail(L"no top-level window titled \"" + std::wstring(title) + L"\"");
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

  std::string json = "{" + CommonFields(top, ClassName(top)) + ",\"pid\":" + std::to_string(pid) +
                     ",\"client\":" + RectJson(clientOnScreen) + ",\"children\":[";
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (i > 0) json += ",";
    json += ChildJson(children[i]);
  }
  Print(json + "]}");
  return 0;
}

int Wait(const wchar_t* title, const wchar_t* timeoutText) {
  wchar_t* end = nullptr;
  unsigned long timeoutMs = std::wcstoul(timeoutText, &end, 10);
  if (end == timeoutText || *end != L'\0') {
    Fail(L"bad timeout: " + std::wstring(timeoutText));
    return 2;
  }
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    HWND top = FindWindowW(nullptr, title);
    if (top && IsWindowVisible(top)) return 0;
    if (GetTickCount64() >= deadline) break;
    Sleep(20);
  }
  Fail(L"timed out waiting for a visible window titled \"" + std::wstring(title) + L"\"");
  return 1;
}

int Cursor() {
  POINT point = {};
  if (!GetCursorPos(&point)) {
    Fail(L"GetCursorPos failed: " + std::to_wstring(GetLastError()));
    return 1;
  }
  Print("{\"x\":" + std::to_string(point.x) + ",\"y\":" + std::to_string(point.y) + "}");
  return 0;
}

int RegisterHotkey(const wchar_t* vkText) {
  wchar_t* end = nullptr;
  unsigned long vk = std::wcstoul(vkText, &end, 0);  // decimal or 0x-hex
  if (end == vkText || *end != L'\0' || vk == 0 || vk > 0xFF) {
    Fail(L"bad virtual-key code: " + std::wstring(vkText));
    return 2;
  }
  if (RegisterHotKey(nullptr, 1, 0, static_cast<UINT>(vk))) {
    UnregisterHotKey(nullptr, 1);
    Print("{\"ok\":true}");
  } else {
    Print("{\"ok\":false,\"error\":" + std::to_string(GetLastError()) + "}");
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
