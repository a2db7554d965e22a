#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/form.h"
#include "platform/input_services.h"
#include "platform/scrolling.h"
#include "platform/window_services.h"

namespace platform::sim {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// A message as a window procedure receives it.
struct Message {
  NativeWindow window = 0;
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  friend bool operator==(const Message&, const Message&) = default;
};

// One step of what the mouse did, as another program would see it.
struct MouseEvent {
  enum Kind { Move, LeftDown, LeftUp };
  Kind kind;
  Point at;
  int call;  // which call of the synthetic input services sent it
  friend bool operator==(const MouseEvent&, const MouseEvent&) = default;
};

// An in-memory desktop with one screen that behaves like the real form
// runtime and the Windows services: controls, properties, z-order of copies,
// focus, events, system-wide hotkeys held by this program or another, window
// procedures and properties, the cursor. Tests act on it as a user would
// (keys, clicks, scrolling, pointer moves) and read what a user or another
// program could see.
class SimDesktop final : public FormRuntime, public WindowServices, public InputServices {
 public:
  // dpi is the screen's: the window is laid out at it, as a DPI-aware program's is.
  explicit SimDesktop(int screenWidth = 1280, int screenHeight = 1024, int dpi = 96);
  ~SimDesktop() override;
  SimDesktop(const SimDesktop&) = delete;
  SimDesktop& operator=(const SimDesktop&) = delete;

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

  // WindowServices
  bool RegisterHotKey(NativeWindow window, int id, unsigned modifiers, unsigned virtualKey) override;
  bool UnregisterHotKey(NativeWindow window, int id) override;
  void* GetProperty(NativeWindow window, std::string_view name) override;
  bool SetProperty(NativeWindow window, std::string_view name, void* value) override;
  void* RemoveProperty(NativeWindow window, std::string_view name) override;
  ProcedureRef SetWindowProcedure(NativeWindow window, ProcedureRef procedure) override;
  MessageResult CallProcedure(ProcedureRef procedure, NativeWindow window, std::uint32_t message,
                              std::uintptr_t wParam, std::intptr_t lParam) override;

  // InputServices
  std::optional<Point> CursorPosition() override;
  bool MoveCursor(Point to) override;
  bool SendLeftClick() override;

  static constexpr int kStillOpen = -1;
  // Every window's own procedure, which records what reaches it.
  static constexpr ProcedureRef kOwnProcedure = 1;

  // What a user does. Each acts at once; Post queues one for the loop.
  void Post(std::function<void()> action);
  // A key pressed anywhere: a system hotkey goes to its owner's procedure,
  // any other key to the focused control.
  void PressKey(int virtualKey, int heldModifiers = 0);
  void MovePointer(Point to);
  void TypeText(std::string_view text);
  void Click(ControlRef control);
  void Scroll(ControlRef bar, ScrollAction action, int trackPosition = 0);
  void TurnWheel(int delta);
  void CloseWindow();
  // The window moved to a monitor of another scale.
  void ChangeDpi(int dpi);

  // What a user or another program sees.
  bool WindowOpen() const;
  bool WindowShown() const;
  ControlRef Focus() const;
  std::vector<ControlRef> ChildrenInZOrder(ControlRef parent) const;
  // In the screen's own pixels.
  Rect ScreenRect(ControlRef control) const;
  int EndRoutinesRun() const { return endRoutinesRun_; }
  int LoopsEnded() const { return loopsEnded_; }
  // Messages that reached a window's own procedure.
  const std::vector<Message>& OwnProcedureLog() const { return ownProcedureLog_; }
  ProcedureRef ProcedureOf(NativeWindow window) const;
  std::size_t PropertyCount() const { return properties_.size(); }

  // Another program. HoldHotkey is its RegisterHotKey: false when the key is taken.
  bool HoldHotkey(unsigned modifiers, unsigned virtualKey);
  bool ReleaseHotkey(unsigned modifiers, unsigned virtualKey);
  // The last error a refused registration set.
  std::uint32_t LastError() const { return lastError_; }

  // The cursor, and every synthetic move and click in order (the user's own
  // pointer moves are not synthetic and not logged).
  Point Cursor() const { return cursor_; }
  const std::vector<MouseEvent>& MouseLog() const { return mouseLog_; }
  // Monitors may extend the desktop left of or above the primary screen.
  void SetVirtualScreen(Rect screen) { virtualScreen_ = screen; }

  // Runs after every cursor reading: the pointer can move between two reads.
  void AfterCursorRead(std::function<void()> hook) { afterCursorRead_ = std::move(hook); }

  // Failure injection: the next property write or subclass fails.
  void FailNextPropertyWrite() { failPropertyWrite_ = true; }
  void FailNextSubclass() { failSubclass_ = true; }

 private:
  struct Control {
    const ControlSpec* entry = nullptr;  // its entry in the layout
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
  void RevealFocus();
  void EndLoop();
  void DestroyWindows();
  bool OwnsWindow(NativeWindow window) const;
  Point OnScreen(Point to) const;
  void PlaceAsLaid(Control& control) const;

  struct SystemHotkey {
    NativeWindow owner;  // 0: another program
    int id;
    unsigned modifiers;
    unsigned virtualKey;
  };

  int screenWidth_;
  int screenHeight_;
  int dpi_;
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
  std::vector<SystemHotkey> hotkeys_;
  std::map<std::pair<NativeWindow, std::string>, void*, std::less<>> properties_;
  std::map<NativeWindow, ProcedureRef> procedures_;
  std::vector<Message> ownProcedureLog_;
  Point cursor_{640, 512};
  Rect virtualScreen_;
  std::vector<MouseEvent> mouseLog_;
  int inputCalls_ = 0;
  std::function<void()> afterCursorRead_;
  std::uint32_t lastError_ = 0;
  bool failPropertyWrite_ = false;
  bool failSubclass_ = false;
};

}  // namespace platform::sim
