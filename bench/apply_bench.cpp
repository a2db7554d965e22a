// Times one Apply over 100 enabled rows, each with its own key, on the real
// window and the real RegisterHotKey. Prints figures; asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/layout.h"
#include "app/shell.h"
#include "hotkeys/row_hotkeys.h"
#include "platform/text_numbers.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_services.h"

namespace {

std::vector<int> HundredKeys() {
  std::vector<int> keys;
  for (int k = 'A'; k <= 'Z'; ++k) keys.push_back(k);
  for (int k = '0'; k <= '9'; ++k) keys.push_back(k);
  for (int k = 0x60; k <= 0x6F; ++k) {
    if (k != 0x6C) keys.push_back(k);  // keypad, less the separator
  }
  for (int k = 0x71; k <= 0x87; ++k) keys.push_back(k);  // F2 to F24
  for (int k : {0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE, 0x21, 0x22, 0x23, 0x24, 0x25,
                0x26, 0x27, 0x28, 0x2D, 0x2E, 0x20, 0x08, 0x13, 0x91}) {
    keys.push_back(k);
  }
  keys.resize(100);
  return keys;
}

double Ms(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main() {
  platform::win32::Win32Form form(::GetModuleHandleW(nullptr), SW_SHOWNORMAL);
  platform::win32::Win32Windows windows;
  platform::win32::Win32Input input;
  app::Program program(form, windows, input);
  if (!form.Initialise()) return 1;
  LARGE_INTEGER loadStart{};
  LARGE_INTEGER loadEnd{};
  ::QueryPerformanceCounter(&loadStart);
  program.window = form.LoadWindow(app::MainWindowLayout(), {}, [&](std::uint32_t window) {
    program.window = window;
    app::OnWindowCreated(program);
  });
  if (program.window == 0) return 1;
  ::QueryPerformanceCounter(&loadEnd);
  const std::vector<int> keys = HundredKeys();
  for (int n = 1; n <= program.RowCount; ++n) {
    form.SetTag(program.rows.HotkeyFields[n], platform::IntToText(keys[static_cast<std::size_t>(n - 1)]));
    form.Set(program.rows.EnableBoxes[n], platform::Property::Checked, 1);
  }
  LARGE_INTEGER frequency{};
  ::QueryPerformanceFrequency(&frequency);
  std::printf("load_window_ms %.3f\n", Ms(loadStart, loadEnd, frequency));
  std::vector<double> times;
  for (int run = 0; run < 21; ++run) {
    LARGE_INTEGER start{};
    LARGE_INTEGER end{};
    ::QueryPerformanceCounter(&start);
    hotkeys::OnApplyClicked(program);
    ::QueryPerformanceCounter(&end);
    times.push_back(Ms(start, end, frequency));
  }
  int live = 0;
  for (int key : keys) {
    if (!::RegisterHotKey(nullptr, 1, 0, static_cast<UINT>(key))) {
      ++live;
    } else {
      ::UnregisterHotKey(nullptr, 1);
    }
  }
  const double first = times.front();
  std::sort(times.begin() + 1, times.end());
  std::printf("apply_first_ms %.3f\napply_again_median_ms %.3f\nlive_keys %d\n", first, times[times.size() / 2],
              live);
  return 0;
}
