// A click target for the end-to-end tests: a window (the whole screen, or
// the rectangle given as LEFT TOP WIDTH HEIGHT) that prints every left-button press and release it receives, with its
// screen position and a millisecond time stamp, one line each:
//   down X Y MS
//   up X Y MS
// It also keeps the pointer over a Wine window, so Wine tracks it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr wchar_t kClass[] = L"TavrinClickTarget";

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f{};
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Report(HWND hwnd, const char* what, LPARAM lParam) {
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ::ClientToScreen(hwnd, &at);
  std::printf("%s %ld %ld %.3f\n", what, at.x, at.y, NowMs());
  std::fflush(stdout);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: Report(hwnd, "down", lParam); return 0;
    case WM_LBUTTONUP: Report(hwnd, "up", lParam); return 0;
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int left = 0;
  int top = 0;
  int width = ::GetSystemMetrics(SM_CXSCREEN);
  int height = ::GetSystemMetrics(SM_CYSCREEN);
  if (argc == 5) {
    left = std::atoi(argv[1]);
    top = std::atoi(argv[2]);
    width = std::atoi(argv[3]);
    height = std::atoi(argv[4]);
  }
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kClass;
  if (::RegisterClassW(&windowClass) == 0) return 1;
  HWND hwnd = ::CreateWindowExW(0, kClass, L"Tavrin click target", WS_POPUP | WS_VISIBLE, left, top, width,
                                height, nullptr,
                                nullptr, instance, nullptr);
  if (hwnd == nullptr) return 1;
  std::printf("ready %.3f\n", NowMs());
  std::fflush(stdout);
  MSG msg{};
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
