// tavrin-holder: another program that holds hotkeys, for the end-to-end tests.
//
//   tavrin-holder VK [VK...]
//
// Registers each virtual-key code (decimal or 0x-hex) as a thread hotkey with
// no modifiers and prints one line per key, in order, VK in decimal:
//   held VK
//   refused VK ERROR        (ERROR: GetLastError, 1409 when another holds it)
// then "ready", and runs until killed, printing "hotkey VK" for each
// WM_HOTKEY it receives.

#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

struct Held {
  int id;
  unsigned long vk;
};

// Each line goes out at once: the tests read the output while this runs.
void Flush() { std::fflush(stdout); }

}  // namespace

int main() {
  // LF line ends: the output is parsed, not read in a console.
  _setmode(_fileno(stdout), _O_BINARY);

  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argv == nullptr || argc < 2) {
    std::fputs("usage: tavrin-holder VK [VK...]\n", stderr);
    return 2;
  }
  std::vector<unsigned long> keys;
  for (int i = 1; i < argc; ++i) {
    wchar_t* end = nullptr;
    const unsigned long vk = std::wcstoul(argv[i], &end, 0);
    if (end == argv[i] || *end != L'\0' || vk == 0 || vk > 0xFF) {
      std::fwprintf(stderr, L"bad virtual-key code: %ls\n", argv[i]);
      return 2;
    }
    keys.push_back(vk);
  }
  ::LocalFree(argv);

  // The thread's queue, where the hotkeys will be posted, exists from here on.
  MSG msg{};
  ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

  std::vector<Held> held;
  for (unsigned long vk : keys) {
    const int id = static_cast<int>(held.size()) + 1;
    if (::RegisterHotKey(nullptr, id, 0, static_cast<UINT>(vk))) {
      held.push_back({id, vk});
      std::printf("held %lu\n", vk);
    } else {
      const DWORD error = ::GetLastError();
      std::printf("refused %lu %lu\n", vk, static_cast<unsigned long>(error));
    }
    Flush();
  }
  std::puts("ready");
  Flush();

  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message != WM_HOTKEY) continue;
    for (const Held& h : held) {
      if (static_cast<WPARAM>(h.id) != msg.wParam) continue;
      std::printf("hotkey %lu\n", h.vk);
      Flush();
    }
  }
  return 0;
}
