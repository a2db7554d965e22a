#include "platform/win32/win32_form.h"

#include <algorithm>

#include "platform/dpi.h"
#include "platform/keys.h"
#include "platform/tab_order.h"
#include "platform/win32/text.h"

namespace platform::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"TavrinMainWindow";
constexpr std::uint32_t kWindowId = 1;
constexpr int kFirstControlId = 100;  // clear of IDOK, IDCANCEL and friends
constexpr int kIconResource = 1;

const wchar_t* ClassName(ControlKind kind) {
  switch (kind) {
    case ControlKind::GroupBox:
    case ControlKind::CheckBox:
    case ControlKind::Button: return L"BUTTON";
    case ControlKind::EditBox: return L"EDIT";
    case ControlKind::Label: return L"STATIC";
    case ControlKind::VScrollBar: return L"SCROLLBAR";
    case ControlKind::Window: break;
  }
  return kWindowClass;
}

DWORD StyleOf(const ControlSpec& entry) {
  DWORD style = WS_CHILD | (entry.tabStop ? WS_TABSTOP : 0);
  switch (entry.kind) {
    case ControlKind::GroupBox: return style | BS_GROUPBOX | WS_CLIPCHILDREN;
    case ControlKind::CheckBox: return style | BS_AUTOCHECKBOX;
    case ControlKind::Button: return style | BS_PUSHBUTTON;
    case ControlKind::EditBox: return style | ES_LEFT | ES_AUTOHSCROLL | (entry.readOnly ? ES_READONLY : 0);
    // SS_CENTERIMAGE centres a single line of text vertically.
    case ControlKind::Label: return style | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX;
    case ControlKind::VScrollBar: return style | SBS_VERT;
    case ControlKind::Window: break;
  }
  return style;
}

DWORD ExStyleOf(const ControlSpec& entry) {
  switch (entry.kind) {
    // Lets focus moves and dialog-style navigation descend into the frames.
    case ControlKind::GroupBox: return WS_EX_CONTROLPARENT;
    case ControlKind::EditBox: return WS_EX_CLIENTEDGE;
    default: return 0;
  }
}

int HeldModifiers() {
  int held = 0;
  if (::GetKeyState(VK_CONTROL) < 0) held |= kCtrl;
  if (::GetKeyState(VK_SHIFT) < 0) held |= kShift;
  if (::GetKeyState(VK_MENU) < 0) held |= kAlt;
  return held;
}

bool ScrollActionOf(int request, ScrollAction& action) {
  switch (request) {
    case SB_LINEUP: action = ScrollAction::LineUp; return true;
    case SB_LINEDOWN: action = ScrollAction::LineDown; return true;
    case SB_PAGEUP: action = ScrollAction::PageUp; return true;
    case SB_PAGEDOWN: action = ScrollAction::PageDown; return true;
    case SB_TOP: action = ScrollAction::Top; return true;
    case SB_BOTTOM: action = ScrollAction::Bottom; return true;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: action = ScrollAction::Track; return true;
    default: return false;
  }
}

ScrollRange ReadScrollBar(HWND bar, const ScrollRange& layout) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_POS;
  ScrollRange range = layout;
  if (::GetScrollInfo(bar, SB_CTL, &info)) {
    range.minimum = info.nMin;
    range.maximum = info.nMax;
    range.position = info.nPos;
  }
  return range;
}

int ScreenDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

// The window's DPI where Windows knows one per window (Windows 10 1607 on),
// else the screen's.
int WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  const UINT dpi = getDpiForWindow != nullptr && hwnd != nullptr ? getDpiForWindow(hwnd) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : ScreenDpi();
}

// The system's message font at `dpi`; the metrics come at the system's DPI.
LOGFONTW MessageFont(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  LOGFONTW font{};
  font.lfHeight = -12;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) font = metrics.lfMessageFont;
  font.lfHeight = ::MulDiv(font.lfHeight, dpi, ScreenDpi());
  return font;
}

}  // namespace

Win32Form::Win32Form(HINSTANCE instance, int showCommand) : instance_(instance), showCommand_(showCommand) {}

Win32Form::~Win32Form() {
  if (window_ != nullptr) {
    ::DestroyWindow(window_);
    // The quit this posted belongs to a loop that is not running.
    MSG quit{};
    ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
  if (windowClass_ != 0) ::UnregisterClassW(kWindowClass, instance_);
}

bool Win32Form::Initialise() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &Win32Form::WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                                      0, 0, LR_DEFAULTSIZE | LR_SHARED));
  windowClass.hIconSm = static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                                        ::GetSystemMetrics(SM_CXSMICON),
                                                        ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kWindowClass;
  windowClass_ = ::RegisterClassExW(&windowClass);
  return windowClass_ != 0;
}

void Win32Form::AtEnd(std::function<void()> routine) { endRoutines_.push_back(std::move(routine)); }

void Win32Form::MakeFonts() {
  const LOGFONTW messageFont = MessageFont(dpi_);
  guiFont_.reset(::CreateFontIndirectW(&messageFont));
  sizedFonts_.clear();
  for (const ControlSpec& entry : layout_) {
    if (entry.fontHeight == 0 || FontFor(entry) != guiFont_.get()) continue;
    LOGFONTW font = messageFont;
    font.lfHeight = -ScaleToDpi(entry.fontHeight, dpi_);
    font.lfWidth = 0;
    font.lfWeight = FW_NORMAL;
    sizedFonts_.push_back({entry.fontHeight, UniqueFont(::CreateFontIndirectW(&font))});
  }
}

HFONT Win32Form::FontFor(const ControlSpec& entry) const {
  for (const SizedFont& sized : sizedFonts_) {
    if (sized.height == entry.fontHeight) return sized.font.get();
  }
  return guiFont_.get();
}

HWND Win32Form::CreateControl(const ControlSpec& entry, HWND parent, int index, bool visible) {
  const std::wstring text = Widen(entry.text);
  HWND hwnd = ::CreateWindowExW(ExStyleOf(entry), ClassName(entry.kind), text.c_str(),
                                StyleOf(entry) | (visible ? WS_VISIBLE : 0), ScaleToDpi(entry.left, dpi_),
                                ScaleToDpi(entry.top, dpi_), ScaleToDpi(entry.width, dpi_),
                                ScaleToDpi(entry.height, dpi_), parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)), instance_,
                                nullptr);
  if (hwnd == nullptr) return nullptr;
  if (HFONT font = FontFor(entry)) ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (entry.kind == ControlKind::VScrollBar) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    info.nMin = entry.scroll.minimum;
    info.nMax = entry.scroll.maximum;
    info.nPos = entry.scroll.position;
    info.nPage = 0;  // the system's fixed-size thumb
    ::SetScrollInfo(hwnd, SB_CTL, &info, FALSE);
  }
  return hwnd;
}

std::uint32_t Win32Form::LoadWindow(const Layout& layout, std::vector<Binding> bindings,
                                    std::function<void(std::uint32_t window)> created) {
  if (layout.controls.empty() || window_ != nullptr || windowClass_ == 0) return 0;
  const ControlSpec& main = layout.controls.front();
  bindings_ = std::move(bindings);
  layout_ = layout.controls;
  controls_.clear();
  // Laid out at the primary screen's DPI, where the window opens.
  dpi_ = WindowDpi(nullptr);
  const int width = ScaleToDpi(main.width, dpi_);
  const int height = ScaleToDpi(main.height, dpi_);
  const int left = main.left == kCentred ? (::GetSystemMetrics(SM_CXSCREEN) - width) / 2 : ScaleToDpi(main.left, dpi_);
  const int top = main.top == kCentred ? (::GetSystemMetrics(SM_CYSCREEN) - height) / 2 : ScaleToDpi(main.top, dpi_);
  controls_.push_back({nullptr, &main, -1, 0, {}, nullptr});
  const std::wstring title = Widen(main.text);
  window_ = ::CreateWindowExW(0, kWindowClass, title.c_str(),
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, left,
                              top, width, height, nullptr, nullptr, instance_, this);
  if (window_ == nullptr) return 0;
  controls_[0].hwnd = window_;
  MakeFonts();

  for (const ControlSpec& entry : layout.controls.subspan(1)) {
    int parent = 0;
    if (!entry.parent.empty()) {
      const auto found = std::find_if(controls_.begin(), controls_.end(),
                                      [&](const Control& c) { return c.entry->name == entry.parent; });
      if (found == controls_.end()) return 0;
      parent = static_cast<int>(found - controls_.begin());
    }
    const int index = static_cast<int>(controls_.size());
    controls_.push_back({nullptr, &entry, parent, index, {}, nullptr});
    HWND hwnd = CreateControl(entry, controls_[static_cast<std::size_t>(parent)].hwnd, index, entry.visible);
    if (hwnd == nullptr) return 0;
    controls_[static_cast<std::size_t>(index)].hwnd = hwnd;
    Subclass(controls_[static_cast<std::size_t>(index)]);
  }

  if (created) created(kWindowId);
  if (window_ == nullptr) return 0;
  ::ShowWindow(window_, showCommand_);
  ::UpdateWindow(window_);
  return kWindowId;
}

int Win32Form::RunMessageLoop() {
  MSG msg{};
  int exitCode = 0;
  for (;;) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      exitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (got == -1) {
      exitCode = 1;
      break;
    }
    if (PreTranslate(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  ending_ = true;
  for (auto& routine : endRoutines_) routine();
  endRoutines_.clear();
  return exitCode;
}

bool Win32Form::ProcessPendingMessages() {
  MSG msg{};
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return false;
    if (PreTranslate(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return window_ != nullptr;
}

bool Win32Form::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (window_ == nullptr || (msg.hwnd != window_ && !::IsChild(window_, msg.hwnd))) return false;
  switch (RouteKey(static_cast<int>(msg.wParam), HeldModifiers())) {
    case KeyRoute::FocusNext: MoveFocus(false); return true;
    case KeyRoute::FocusPrevious: MoveFocus(true); return true;
    case KeyRoute::CloseWindow: ::SendMessageW(window_, WM_CLOSE, 0, 0); return true;
    case KeyRoute::KeyDownEvent: return false;
  }
  return false;
}

bool Win32Form::TakesEveryKey(const Control& control) const {
  // A read-only field with a key-down handler is a capture field.
  return control.entry->kind == ControlKind::EditBox && control.entry->readOnly &&
         FindHandler(bindings_, controls_[static_cast<std::size_t>(control.handlerSource)].entry->name,
                     Event::KeyDown) != nullptr;
}

void Win32Form::Subclass(Control& control) {
  // Group boxes keep their children's notifications and edits their keys to
  // themselves; the runtime needs both.
  if (control.entry->kind != ControlKind::GroupBox && control.entry->kind != ControlKind::EditBox) return;
  ::SetWindowLongPtrW(control.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  control.previous = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(control.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Form::ControlProc)));
}

int Win32Form::IndexOf(HWND hwnd) const {
  if (hwnd == nullptr) return -1;
  if (hwnd == window_) return 0;
  const int index = ::GetDlgCtrlID(hwnd) - kFirstControlId;
  if (index <= 0 || index >= static_cast<int>(controls_.size())) return -1;
  return controls_[static_cast<std::size_t>(index)].hwnd == hwnd ? index : -1;
}

Win32Form::Control* Win32Form::At(ControlRef ref) {
  return const_cast<Control*>(static_cast<const Win32Form*>(this)->At(ref));
}

const Win32Form::Control* Win32Form::At(ControlRef ref) const {
  if (ref.window != kWindowId || ref.control == 0 || ref.control > controls_.size()) return nullptr;
  const Control& control = controls_[ref.control - 1];
  return control.hwnd == nullptr ? nullptr : &control;
}

ControlRef Win32Form::Find(std::uint32_t window, std::string_view name) const {
  if (window != kWindowId) return {};
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i].handlerSource == static_cast<int>(i) && controls_[i].entry->name == name) {
      return {kWindowId, static_cast<std::uint32_t>(i + 1)};
    }
  }
  return {};
}

int Win32Form::Get(ControlRef ref, Property property) const {
  const Control* c = At(ref);
  if (c == nullptr) return 0;
  const RECT rect = PlacedRect(*c);
  switch (property) {
    case Property::Left: return ScaleFromDpi(rect.left, dpi_);
    case Property::Top: return ScaleFromDpi(rect.top, dpi_);
    case Property::Width: return ScaleFromDpi(rect.right - rect.left, dpi_);
    case Property::Height: return ScaleFromDpi(rect.bottom - rect.top, dpi_);
    // The style bit, not IsWindowVisible: controls count as shown before their window is.
    case Property::Visible: return (::GetWindowLongW(c->hwnd, GWL_STYLE) & WS_VISIBLE) != 0 ? 1 : 0;
    case Property::Checked: return ::SendMessageW(c->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    case Property::Position: return ReadScrollBar(c->hwnd, c->entry->scroll).position;
    case Property::MaxPosition: return ReadScrollBar(c->hwnd, c->entry->scroll).maximum;
  }
  return 0;
}

void Win32Form::Set(ControlRef ref, Property property, int value) {
  Control* c = At(ref);
  if (c == nullptr) return;
  RECT rect = PlacedRect(*c);
  const int physical = ScaleToDpi(value, dpi_);
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  switch (property) {
    case Property::Left: ::OffsetRect(&rect, physical - rect.left, 0); return Place(*c, rect);
    case Property::Top: ::OffsetRect(&rect, 0, physical - rect.top); return Place(*c, rect);
    case Property::Width: rect.right = rect.left + physical; return Place(*c, rect);
    case Property::Height: rect.bottom = rect.top + physical; return Place(*c, rect);
    case Property::Visible: ::ShowWindow(c->hwnd, value != 0 ? SW_SHOWNA : SW_HIDE); return;
    case Property::Checked:
      ::SendMessageW(c->hwnd, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
      return;
    case Property::Position:
      info.fMask = SIF_POS;
      info.nPos = value;
      ::SetScrollInfo(c->hwnd, SB_CTL, &info, TRUE);
      return;
    case Property::MaxPosition: {
      const ScrollRange range = ReadScrollBar(c->hwnd, c->entry->scroll);
      info.fMask = SIF_RANGE;
      info.nMin = range.minimum;
      info.nMax = value;
      ::SetScrollInfo(c->hwnd, SB_CTL, &info, TRUE);
      return;
    }
  }
}

RECT Win32Form::PlacedRect(const Control& control) const {
  RECT rect{};
  ::GetWindowRect(control.hwnd, &rect);
  if (control.parent >= 0) {
    ::MapWindowPoints(HWND_DESKTOP, controls_[static_cast<std::size_t>(control.parent)].hwnd,
                      reinterpret_cast<POINT*>(&rect), 2);
  }
  return rect;
}

void Win32Form::Place(const Control& control, const RECT& rect) {
  ::SetWindowPos(control.hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void Win32Form::OnDpiChanged(int dpi, const RECT& suggested) {
  // Every child keeps its 96-DPI place and size, now in the new scale.
  std::vector<RECT> logical;
  for (std::size_t i = 1; i < controls_.size(); ++i) {
    RECT rect = PlacedRect(controls_[i]);
    logical.push_back({ScaleFromDpi(rect.left, dpi_), ScaleFromDpi(rect.top, dpi_), ScaleFromDpi(rect.right, dpi_),
                       ScaleFromDpi(rect.bottom, dpi_)});
  }
  dpi_ = dpi;
  MakeFonts();
  for (std::size_t i = 1; i < controls_.size(); ++i) {
    const RECT& rect = logical[i - 1];
    Place(controls_[i], {ScaleToDpi(rect.left, dpi_), ScaleToDpi(rect.top, dpi_), ScaleToDpi(rect.right, dpi_),
                         ScaleToDpi(rect.bottom, dpi_)});
    ::SendMessageW(controls_[i].hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(*controls_[i].entry)), TRUE);
  }
  ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string Win32Form::Text(ControlRef ref) const {
  const Control* c = At(ref);
  if (c == nullptr) return {};
  const int length = ::GetWindowTextLengthW(c->hwnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(c->hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return Narrow(text);
}

void Win32Form::SetText(ControlRef ref, std::string_view text) {
  if (Control* c = At(ref)) ::SetWindowTextW(c->hwnd, Widen(text).c_str());
}

std::string Win32Form::Tag(ControlRef ref) const {
  const Control* c = At(ref);
  return c == nullptr ? std::string() : c->tag;
}

void Win32Form::SetTag(ControlRef ref, std::string_view tag) {
  if (Control* c = At(ref)) c->tag = std::string(tag);
}

ControlRef Win32Form::Copy(ControlRef source) {
  const Control* c = At(source);
  if (c == nullptr || c->parent < 0) return {};
  const Control original = *c;  // the push_back below may move the record
  const int index = static_cast<int>(controls_.size());
  HWND parent = controls_[static_cast<std::size_t>(original.parent)].hwnd;
  HWND hwnd = CreateControl(*original.entry, parent, index, false);
  if (hwnd == nullptr) return {};
  controls_.push_back({hwnd, original.entry, original.parent, original.handlerSource, {}, nullptr});
  Subclass(controls_.back());
  ::SetWindowPos(hwnd, original.hwnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return {kWindowId, static_cast<std::uint32_t>(index + 1)};
}

NativeWindow Win32Form::WindowHandle(ControlRef ref) const {
  const Control* c = At(ref);
  return c == nullptr ? 0 : reinterpret_cast<NativeWindow>(c->hwnd);
}

void Win32Form::Raise(int index, Event event, const EventArgs& args) {
  if (ending_ || index < 0) return;
  const Control& control = controls_[static_cast<std::size_t>(index)];
  const std::string_view source = controls_[static_cast<std::size_t>(control.handlerSource)].entry->name;
  const Handler* handler = FindHandler(bindings_, source, event);
  if (handler == nullptr) return;
  // Nothing may unwind through user32's frames.
  try {
    (*handler)(args);
  } catch (...) {
  }
}

void Win32Form::MoveFocus(bool backwards) { MoveFocusFrom(IndexOf(::GetFocus()), backwards); }

void Win32Form::MoveFocusFrom(int current, bool backwards) {
  std::vector<TabNode> nodes;
  nodes.reserve(controls_.size());
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const Control& c = controls_[i];
    if (c.parent < 0) {
      nodes.push_back({-2, 0, 0, false});  // the window itself is no stop
      continue;
    }
    // Screen pixels: only the order matters here.
    const RECT rect = PlacedRect(c);
    const bool stop = c.entry->tabStop && ::IsWindowVisible(c.hwnd) && ::IsWindowEnabled(c.hwnd);
    nodes.push_back({c.parent == 0 ? -1 : c.parent, rect.left, rect.top, stop});
  }
  const int next = NextTabStop(nodes, current, backwards);
  if (next < 0) return;
  HWND target = controls_[static_cast<std::size_t>(next)].hwnd;
  ::SetFocus(target);
  // A keyboard user sees where the focus went: the grid scrolls as if by hand.
  RevealFocus(next);
  // As the dialog manager does: an edit reached by Tab has its text selected.
  if (controls_[static_cast<std::size_t>(next)].entry->kind == ControlKind::EditBox) {
    ::SendMessageW(target, EM_SETSEL, 0, -1);
  }
}

void Win32Form::ScrollTo(int index, int target) {
  const ControlRef bar{kWindowId, static_cast<std::uint32_t>(index + 1)};
  if (target == Get(bar, Property::Position)) return;
  Set(bar, Property::Position, target);
  Raise(index, Event::PositionChanged, {});
}

int Win32Form::ScrollBarIndex() const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i].entry->kind == ControlKind::VScrollBar) return static_cast<int>(i);
  }
  return -1;
}

void Win32Form::RevealFocus(int index) {
  const int bar = ScrollBarIndex();
  if (index <= 0 || bar < 0) return;
  const Control& barControl = controls_[static_cast<std::size_t>(bar)];
  for (;;) {
    // What of the control shows is what all its ancestors' client areas leave.
    RECT shown{};
    ::GetWindowRect(controls_[static_cast<std::size_t>(index)].hwnd, &shown);
    const int top = shown.top;
    const int bottom = shown.bottom;
    for (int parent = controls_[static_cast<std::size_t>(index)].parent; parent >= 0;
         parent = controls_[static_cast<std::size_t>(parent)].parent) {
      RECT client{};
      HWND hwnd = controls_[static_cast<std::size_t>(parent)].hwnd;
      ::GetClientRect(hwnd, &client);
      ::MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
      ::IntersectRect(&shown, &shown, &client);
    }
    const auto step = RevealStep(top, bottom, shown.top, shown.bottom);
    const ScrollRange range = ReadScrollBar(barControl.hwnd, barControl.entry->scroll);
    if (!step || ScrollTarget(range, *step) == range.position) return;
    ScrollTo(bar, ScrollTarget(range, *step));
  }
}

void Win32Form::OnScroll(int index, int request) {
  ScrollAction action{};
  if (index < 0 || !ScrollActionOf(request, action)) return;
  const Control& bar = controls_[static_cast<std::size_t>(index)];
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_TRACKPOS;
  // The 32-bit track position; the message only carries 16 bits of it.
  const int track = ::GetScrollInfo(bar.hwnd, SB_CTL, &info) ? info.nTrackPos : 0;
  ScrollTo(index, ScrollTarget(ReadScrollBar(bar.hwnd, bar.entry->scroll), action, track));
}

void Win32Form::OnWheel(int delta) {
  const int index = ScrollBarIndex();
  if (index < 0) return;
  const Control& bar = controls_[static_cast<std::size_t>(index)];
  UINT linesPerNotch = 3;
  ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
  const ScrollRange range = ReadScrollBar(bar.hwnd, bar.entry->scroll);
  const int perNotch =
      linesPerNotch == WHEEL_PAGESCROLL ? range.pageStep : static_cast<int>(std::min(linesPerNotch, 100u));
  const int lines = wheel_.Lines(delta, perNotch);
  if (lines != 0) ScrollTo(index, ScrollTarget(range, ScrollAction::Track, range.position + lines));
}

LRESULT CALLBACK Win32Form::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  // Windows calls this with no pointer of ours; the form is kept in the
  // window's user data from the first message that carries it.
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* form = reinterpret_cast<Win32Form*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (form == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  return form->OnWindowMessage(hwnd, message, wParam, lParam);
}

LRESULT Win32Form::OnWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        const int index = IndexOf(reinterpret_cast<HWND>(lParam));
        if (index > 0 && controls_[static_cast<std::size_t>(index)].entry->kind == ControlKind::Button) {
          Raise(index, Event::Clicked, {});
        }
        return 0;
      }
      break;
    case WM_VSCROLL:
      OnScroll(IndexOf(reinterpret_cast<HWND>(lParam)), LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // Every field is black on white, read-only ones too; the rest sit on the face colour.
      HDC dc = reinterpret_cast<HDC>(wParam);
      const int index = IndexOf(reinterpret_cast<HWND>(lParam));
      const bool field = index > 0 && controls_[static_cast<std::size_t>(index)].entry->kind == ControlKind::EditBox;
      ::SetTextColor(dc, RGB(0, 0, 0));
      ::SetBkColor(dc, field ? RGB(255, 255, 255) : ::GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(field ? static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))
                                             : ::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(hwnd, focus)) savedFocus_ = focus;
      } else if (savedFocus_ != nullptr && ::IsWindow(savedFocus_) && ::IsChild(hwnd, savedFocus_)) {
        ::SetFocus(savedFocus_);
      } else {
        MoveFocusFrom(-1, false);
      }
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CLOSE:
      ::DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      window_ = nullptr;
      for (Control& c : controls_) c.hwnd = nullptr;
      break;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32Form::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  auto* form = reinterpret_cast<Win32Form*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  const int index = form == nullptr ? -1 : form->IndexOf(hwnd);
  if (index <= 0) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  return form->OnControlMessage(index, message, wParam, lParam);
}

LRESULT Win32Form::OnControlMessage(int index, UINT message, WPARAM wParam, LPARAM lParam) {
  Control& control = controls_[static_cast<std::size_t>(index)];
  HWND hwnd = control.hwnd;
  const WNDPROC previous = control.previous;
  switch (message) {
    case WM_COMMAND:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      // A group box keeps its children's notifications to itself; pass them on.
      if (control.entry->kind == ControlKind::GroupBox && window_ != nullptr) {
        return ::SendMessageW(window_, message, wParam, lParam);
      }
      break;
    case WM_ERASEBKGND:
      if (control.entry->kind == ControlKind::GroupBox) {
        // A group box paints no background, and the panel's last scroll
        // position leaves a strip of the frame behind it uncovered.
        RECT rect{};
        ::GetClientRect(hwnd, &rect);
        ::FillRect(reinterpret_cast<HDC>(wParam), &rect, ::GetSysColorBrush(COLOR_BTNFACE));
        return 1;
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (control.entry->kind == ControlKind::EditBox) {
        const int code = KeyDownCode(static_cast<int>(wParam));
        Raise(index, Event::KeyDown, {code, KeyDownModifiers(code, HeldModifiers())});
      }
      if (message == WM_SYSKEYDOWN && TakesEveryKey(control) && !(wParam == VK_F4 && HeldModifiers() == kAlt)) {
        return 0;
      }
      break;
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      // Alt or F10 let go would put the window in menu mode, and the next key
      // captured would work the menu instead; Alt+F4 still closes.
      if (TakesEveryKey(control) && !(wParam == VK_F4 && HeldModifiers() == kAlt)) return 0;
      break;
    case WM_CHAR:
      // A read-only field would beep at every key the user captures.
      if (control.entry->readOnly && wParam != 3 /* Ctrl+C copies */) return 0;
      break;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
      control.previous = nullptr;
      break;
    default:
      break;
  }
  return ::CallWindowProcW(previous, hwnd, message, wParam, lParam);
}

}  // namespace platform::win32
