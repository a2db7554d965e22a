#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <type_traits>
#include <vector>

#include "platform/form.h"
#include "platform/scrolling.h"

namespace platform::win32 {

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const noexcept {
    if (object != nullptr) ::DeleteObject(object);
  }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

// The form runtime on real Win32 controls. It translates between window
// messages and the program's events; what the program does lives above it.
class Win32Form final : public FormRuntime {
 public:
  Win32Form(HINSTANCE instance, int showCommand);
  ~Win32Form() override;
  Win32Form(const Win32Form&) = delete;
  Win32Form& operator=(const Win32Form&) = delete;

  bool Initialise() override;
  void AtEnd(std::function<void()> routine) override;
  std::uint32_t LoadWindow(const Layout& layout, std::vector<Binding> bindings,
                           std::function<void(std::uint32_t window)> created) override;
  int RunMessageLoop() override;
  ControlRef Find(std::uint32_t window, std::string_view name) const override;
  int Get(ControlRef control, Property property) const override;
  void Set(ControlRef control, Property property, int value) override;
  std::string Text(ControlRef control) const override;
  void SetText(ControlRef control, std::string_view text) override;
  std::string Tag(ControlRef control) const override;
  void SetTag(ControlRef control, std::string_view tag) override;
  ControlRef Copy(ControlRef source) override;
  NativeWindow WindowHandle(ControlRef control) const override;

  // Handles the messages already queued, as the loop would; false once the
  // loop would have ended.
  bool ProcessPendingMessages();

 private:
  struct Control {
    HWND hwnd = nullptr;
    const ControlSpec* entry = nullptr;  // its entry in the layout
    int parent = -1;  // index; -1 for the window itself
    int handlerSource = 0;
    std::string tag;
    WNDPROC previous = nullptr;  // set while the runtime subclasses it
  };

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT OnWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnControlMessage(int index, UINT message, WPARAM wParam, LPARAM lParam);
  bool PreTranslate(const MSG& msg);

  HWND CreateControl(const ControlSpec& entry, HWND parent, int index, bool visible);
  HFONT FontFor(const ControlSpec& entry) const;
  void MakeFonts();
  // A control's rectangle in its parent, in the screen's pixels.
  RECT PlacedRect(const Control& control) const;
  void Place(const Control& control, const RECT& rect);
  void OnDpiChanged(int dpi, const RECT& suggested);
  int IndexOf(HWND hwnd) const;
  bool TakesEveryKey(const Control& control) const;
  void Subclass(Control& control);
  Control* At(ControlRef ref);
  const Control* At(ControlRef ref) const;
  void Raise(int index, Event event, const EventArgs& args);
  void MoveFocus(bool backwards);
  void MoveFocusFrom(int current, bool backwards);
  void OnScroll(int index, int request);
  void OnWheel(int delta);
  int ScrollBarIndex() const;
  void RevealFocus(int index);
  void ScrollTo(int index, int target);

  HINSTANCE instance_;
  int showCommand_;
  ATOM windowClass_ = 0;
  HWND window_ = nullptr;
  HWND savedFocus_ = nullptr;
  int dpi_ = 96;
  std::span<const ControlSpec> layout_;
  bool ending_ = false;
  std::vector<Control> controls_;
  std::vector<Binding> bindings_;
  std::vector<std::function<void()>> endRoutines_;
  UniqueFont guiFont_;
  struct SizedFont {
    int height;  // as the layout gives it, at 96 DPI
    UniqueFont font;
  };
  std::vector<SizedFont> sizedFonts_;
  WheelAccumulator wheel_;
};

}  // namespace platform::win32
