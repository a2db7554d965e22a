#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/scrolling.h"

namespace platform::sim {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// An in-memory desktop with one screen that behaves like the real form
// runtime: controls, properties, z-order of copies, focus, events. Tests act
// on it as a user would (keys, clicks, scrolling) and read what a user or
// another program could see.
class SimDesktop final : public FormRuntime {
 public:
  explicit SimDesktop(int screenWidth = 1280, int screenHeight = 1024);

  // FormRuntime
  bool Initialise() override;
  void AtEnd(std::function<void()> routine) override;
  std::uint32_t LoadWindow(const Layout& layout, std::vector<Binding> bindings,
                           std::function<void(std::uint32_t window)> created) override;
  // Runs posted user actions until the window is gone (then the end routines,
  // and returns 0). Returns kStillOpen, running no end routine, when the
  // actions run out with the window still open.
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

  static constexpr int kStillOpen = -1;

  // What a user does. Each acts at once; Post queues one for the loop.
  void Post(std::function<void()> action);
  void PressKey(int virtualKey, int heldModifiers = 0);
  void TypeText(std::string_view text);
  void Click(ControlRef control);
  void Scroll(ControlRef bar, ScrollAction action, int trackPosition = 0);
  void TurnWheel(int delta);
  void CloseWindow();

  // What a user or another program sees.
  bool WindowOpen() const;
  bool WindowShown() const;
  ControlRef Focus() const;
  std::vector<ControlRef> ChildrenInZOrder(ControlRef parent) const;
  Rect ScreenRect(ControlRef control) const;
  int EndRoutinesRun() const { return endRoutinesRun_; }
  int LoopsEnded() const { return loopsEnded_; }

 private:
  struct Control {
    const ControlSpec* spec = nullptr;
    int parent = -1;  // index; -1 for the window itself
    int left = 0, top = 0, width = 0, height = 0;
    std::string text, tag;
    bool visible = false;
    bool checked = false;
    ScrollRange scroll;
    int handlerSource = 0;
    std::vector<int> children;  // front to back
  };

  Control* At(ControlRef ref);
  const Control* At(ControlRef ref) const;
  ControlRef RefOf(int index) const;
  void Raise(int control, Event event, const EventArgs& args);
  void MoveFocus(bool backwards);
  void EndLoop();

  int screenWidth_;
  int screenHeight_;
  std::uint32_t windowId_ = 0;
  bool open_ = false;
  bool shown_ = false;
  bool ending_ = false;
  std::vector<Control> controls_;
  std::vector<Binding> bindings_;
  std::vector<std::function<void()>> endRoutines_;
  std::deque<std::function<void()>> actions_;
  int focus_ = -1;
  int endRoutinesRun_ = 0;
  int loopsEnded_ = 0;
  WheelAccumulator wheel_;
};

}  // namespace platform::sim
