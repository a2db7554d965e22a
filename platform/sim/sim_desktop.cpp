#include "platform/sim/sim_desktop.h"

#include <algorithm>
#include <utility>

#include "platform/dpi.h"
#include "platform/keys.h"
#include "platform/tab_order.h"

namespace platform::sim {

namespace {

constexpr int kWheelLinesPerNotch = 3;
constexpr NativeWindow kFirstHandle = 0x10000;
constexpr std::uint32_t kInvalidWindowHandle = 1400;
constexpr std::uint32_t kHotkeyNotRegistered = 1419;

// The system's hotkey modifier bits for the held keys.
unsigned SystemModifiers(int held) {
  return ((held & kAlt) != 0 ? 1u : 0u) | ((held & kCtrl) != 0 ? 2u : 0u) | ((held & kShift) != 0 ? 4u : 0u);
}

// MOD_NOREPEAT changes repeats, not which keys match.
constexpr unsigned kMatchedModifiers = 0xF;

}  // namespace

SimDesktop::SimDesktop(int screenWidth, int screenHeight, int dpi)
    : screenWidth_(screenWidth),
      screenHeight_(screenHeight),
      dpi_(dpi),
      virtualScreen_{0, 0, screenWidth, screenHeight} {}

void SimDesktop::PlaceAsLaid(Control& control) const {
  const ControlSpec& entry = *control.entry;
  control.width = ScaleToDpi(entry.width, dpi_);
  control.height = ScaleToDpi(entry.height, dpi_);
  control.left = ScaleToDpi(entry.left, dpi_);
  control.top = ScaleToDpi(entry.top, dpi_);
  if (entry.kind == ControlKind::Window) {
    control.left = entry.left == kCentred ? (screenWidth_ - control.width) / 2 : control.left;
    control.top = entry.top == kCentred ? (screenHeight_ - control.height) / 2 : control.top;
  }
}

void SimDesktop::ChangeDpi(int dpi) {
  for (Control& c : controls_) {
    for (int* value : {&c.left, &c.top, &c.width, &c.height}) *value = ScaleToDpi(ScaleFromDpi(*value, dpi_), dpi);
  }
  dpi_ = dpi;
}

bool SimDesktop::Initialise() { return true; }

void SimDesktop::AtEnd(std::function<void()> routine) { endRoutines_.push_back(std::move(routine)); }

std::uint32_t SimDesktop::LoadWindow(const Layout& layout, std::vector<Binding> bindings,
                                     std::function<void(std::uint32_t window)> created) {
  if (layout.controls.empty() || open_) return 0;
  windowId_ += 1;
  controls_.clear();
  bindings_ = std::move(bindings);
  for (const ControlSpec& entry : layout.controls) {
    Control control;
    control.entry = &entry;
    control.handlerSource = static_cast<int>(controls_.size());
    PlaceAsLaid(control);
    control.text = std::string(entry.text);
    control.scroll = entry.scroll;
    if (entry.kind != ControlKind::Window) {
      const auto parent = std::find_if(controls_.begin(), controls_.end(), [&](const Control& c) {
        return entry.parent.empty() ? c.entry->kind == ControlKind::Window : c.entry->name == entry.parent;
      });
      if (parent == controls_.end()) return 0;
      control.parent = static_cast<int>(parent - controls_.begin());
      parent->children.push_back(static_cast<int>(controls_.size()));
      control.visible = entry.visible;
    }
    controls_.push_back(std::move(control));
  }
  open_ = true;
  if (created) created(windowId_);
  if (!open_) return 0;
  controls_[0].visible = true;
  shown_ = true;
  MoveFocus(false);
  return windowId_;
}

int SimDesktop::RunMessageLoop() {
  while (open_ && !actions_.empty()) {
    auto action = std::move(actions_.front());
    actions_.pop_front();
    action();
  }
  if (open_) return kStillOpen;
  return 0;
}

void SimDesktop::EndLoop() {
  // Nothing the user queued runs once the end has begun.
  ending_ = true;
  actions_.clear();
  loopsEnded_ += 1;
  for (auto& routine : endRoutines_) {
    routine();
    endRoutinesRun_ += 1;
  }
  endRoutines_.clear();
}

SimDesktop::Control* SimDesktop::At(ControlRef ref) {
  return const_cast<Control*>(std::as_const(*this).At(ref));
}

const SimDesktop::Control* SimDesktop::At(ControlRef ref) const {
  if (!open_ || ref.window != windowId_ || ref.control == 0 || ref.control > controls_.size()) {
    return nullptr;
  }
  return &controls_[ref.control - 1];
}

ControlRef SimDesktop::RefOf(int index) const {
  if (index < 0) return {};
  return {windowId_, static_cast<std::uint32_t>(index + 1)};
}

ControlRef SimDesktop::Find(std::uint32_t window, std::string_view name) const {
  if (!open_ || window != windowId_) return {};
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i].handlerSource == static_cast<int>(i) && controls_[i].entry->name == name) {
      return RefOf(static_cast<int>(i));
    }
  }
  return {};
}

int SimDesktop::Get(ControlRef ref, Property property) const {
  const Control* c = At(ref);
  if (c == nullptr) return 0;
  switch (property) {
    case Property::Left: return ScaleFromDpi(c->left, dpi_);
    case Property::Top: return ScaleFromDpi(c->top, dpi_);
    case Property::Width: return ScaleFromDpi(c->width, dpi_);
    case Property::Height: return ScaleFromDpi(c->height, dpi_);
    case Property::Visible: return c->visible ? 1 : 0;
    case Property::Checked: return c->checked ? 1 : 0;
    case Property::Position: return c->scroll.position;
    case Property::MaxPosition: return c->scroll.maximum;
  }
  return 0;
}

void SimDesktop::Set(ControlRef ref, Property property, int value) {
  Control* c = At(ref);
  if (c == nullptr) return;
  switch (property) {
    case Property::Left: c->left = ScaleToDpi(value, dpi_); break;
    case Property::Top: c->top = ScaleToDpi(value, dpi_); break;
    case Property::Width: c->width = ScaleToDpi(value, dpi_); break;
    case Property::Height: c->height = ScaleToDpi(value, dpi_); break;
    case Property::Visible: c->visible = value != 0; break;
    case Property::Checked: c->checked = value != 0; break;
    case Property::Position:
      c->scroll.position = std::clamp(value, c->scroll.minimum, std::max(c->scroll.minimum, c->scroll.maximum));
      break;
    case Property::MaxPosition:
      c->scroll.maximum = value;
      c->scroll.position = std::clamp(c->scroll.position, c->scroll.minimum, std::max(c->scroll.minimum, value));
      break;
  }
}

std::string SimDesktop::Text(ControlRef ref) const {
  const Control* c = At(ref);
  return c == nullptr ? std::string() : c->text;
}

void SimDesktop::SetText(ControlRef ref, std::string_view text) {
  if (Control* c = At(ref)) c->text = std::string(text);
}

std::string SimDesktop::Tag(ControlRef ref) const {
  const Control* c = At(ref);
  return c == nullptr ? std::string() : c->tag;
}

void SimDesktop::SetTag(ControlRef ref, std::string_view tag) {
  if (Control* c = At(ref)) c->tag = std::string(tag);
}

ControlRef SimDesktop::Copy(ControlRef source) {
  const Control* c = At(source);
  if (c == nullptr || c->parent < 0) return {};
  Control copy;
  copy.entry = c->entry;
  copy.parent = c->parent;
  PlaceAsLaid(copy);
  copy.text = std::string(c->entry->text);
  copy.scroll = c->entry->scroll;
  copy.handlerSource = c->handlerSource;
  const int sourceIndex = static_cast<int>(source.control) - 1;
  const int index = static_cast<int>(controls_.size());
  std::vector<int>& siblings = controls_[static_cast<std::size_t>(copy.parent)].children;
  siblings.insert(std::find(siblings.begin(), siblings.end(), sourceIndex) + 1, index);
  controls_.push_back(std::move(copy));
  return RefOf(index);
}

NativeWindow SimDesktop::WindowHandle(ControlRef ref) const {
  // Stand-in handles: distinct, nonzero, stable for the control's life.
  return At(ref) == nullptr ? 0 : kFirstHandle + ref.control * 4u;
}

bool SimDesktop::OwnsWindow(NativeWindow window) const {
  if (!open_ || window <= kFirstHandle || (window - kFirstHandle) % 4 != 0) return false;
  return (window - kFirstHandle) / 4 <= controls_.size();
}

bool SimDesktop::RegisterHotKey(NativeWindow window, int id, unsigned modifiers, unsigned virtualKey) {
  if (!OwnsWindow(window)) {
    lastError_ = kInvalidWindowHandle;
    return false;
  }
  if (!HoldHotkey(modifiers, virtualKey)) return false;
  hotkeys_.back().owner = window;
  hotkeys_.back().id = id;
  return true;
}

bool SimDesktop::UnregisterHotKey(NativeWindow window, int id) {
  const auto found = std::find_if(hotkeys_.begin(), hotkeys_.end(),
                                  [&](const SystemHotkey& h) { return h.owner == window && h.id == id; });
  if (window == 0 || found == hotkeys_.end()) {
    lastError_ = kHotkeyNotRegistered;
    return false;
  }
  hotkeys_.erase(found);
  return true;
}

bool SimDesktop::HoldHotkey(unsigned modifiers, unsigned virtualKey) {
  const unsigned key = virtualKey & 0xFF;
  const unsigned mods = modifiers & kMatchedModifiers;
  for (const SystemHotkey& h : hotkeys_) {
    if (h.virtualKey == key && (h.modifiers & kMatchedModifiers) == mods) {
      lastError_ = kHotkeyTaken;
      return false;
    }
  }
  hotkeys_.push_back({0, 0, modifiers, key});
  return true;
}

bool SimDesktop::ReleaseHotkey(unsigned modifiers, unsigned virtualKey) {
  const auto found = std::find_if(hotkeys_.begin(), hotkeys_.end(), [&](const SystemHotkey& h) {
    return h.owner == 0 && h.virtualKey == (virtualKey & 0xFF) && h.modifiers == modifiers;
  });
  if (found == hotkeys_.end()) return false;
  hotkeys_.erase(found);
  return true;
}

void* SimDesktop::GetProperty(NativeWindow window, std::string_view name) {
  const auto found = properties_.find(std::pair{window, std::string(name)});
  return found == properties_.end() ? nullptr : found->second;
}

bool SimDesktop::SetProperty(NativeWindow window, std::string_view name, void* value) {
  if (std::exchange(failPropertyWrite_, false) || !OwnsWindow(window)) return false;
  properties_[std::pair{window, std::string(name)}] = value;
  return true;
}

void* SimDesktop::RemoveProperty(NativeWindow window, std::string_view name) {
  const auto found = properties_.find(std::pair{window, std::string(name)});
  if (found == properties_.end()) return nullptr;
  void* value = found->second;
  properties_.erase(found);
  return value;
}

ProcedureRef SimDesktop::ProcedureOf(NativeWindow window) const {
  const auto found = procedures_.find(window);
  return found == procedures_.end() ? kOwnProcedure : found->second;
}

ProcedureRef SimDesktop::SetWindowProcedure(NativeWindow window, ProcedureRef procedure) {
  if (std::exchange(failSubclass_, false) || !OwnsWindow(window) || procedure == 0) return 0;
  const ProcedureRef previous = ProcedureOf(window);
  if (procedure == kOwnProcedure) {
    procedures_.erase(window);
  } else {
    procedures_[window] = procedure;
  }
  return previous;
}

MessageResult SimDesktop::CallProcedure(ProcedureRef procedure, NativeWindow window, std::uint32_t message,
                                        std::uintptr_t wParam, std::intptr_t lParam) {
  if (procedure == kOwnProcedure) {
    ownProcedureLog_.push_back({window, message, wParam, lParam});
    return 0;
  }
  if (procedure == 0) return 0;
  return reinterpret_cast<WindowProc>(procedure)(window, message, wParam, lParam);
}

std::optional<Point> SimDesktop::CursorPosition() {
  const Point read = cursor_;
  if (afterCursorRead_) afterCursorRead_();
  return read;
}

Point SimDesktop::OnScreen(Point to) const {
  return {std::clamp(to.x, virtualScreen_.left, virtualScreen_.right - 1),
          std::clamp(to.y, virtualScreen_.top, virtualScreen_.bottom - 1)};
}

bool SimDesktop::MoveCursor(Point to) {
  cursor_ = OnScreen(to);
  mouseLog_.push_back({MouseEvent::Move, cursor_, ++inputCalls_});
  return true;
}

bool SimDesktop::SendLeftClick() {
  ++inputCalls_;
  mouseLog_.push_back({MouseEvent::LeftDown, cursor_, inputCalls_});
  mouseLog_.push_back({MouseEvent::LeftUp, cursor_, inputCalls_});
  return true;
}

void SimDesktop::MovePointer(Point to) { cursor_ = OnScreen(to); }

void SimDesktop::Post(std::function<void()> action) { actions_.push_back(std::move(action)); }

void SimDesktop::Raise(int control, Event event, const EventArgs& args) {
  if (ending_ || control < 0) return;
  const Control& c = controls_[static_cast<std::size_t>(control)];
  const std::string_view source = controls_[static_cast<std::size_t>(c.handlerSource)].entry->name;
  if (const Handler* handler = FindHandler(bindings_, source, event)) (*handler)(args);
}

void SimDesktop::PressKey(int virtualKey, int heldModifiers) {
  const unsigned key = static_cast<unsigned>(virtualKey) & 0xFF;
  const unsigned mods = SystemModifiers(heldModifiers);
  for (const SystemHotkey& h : hotkeys_) {
    if (h.virtualKey != key || (h.modifiers & kMatchedModifiers) != mods) continue;
    // The system posts the hotkey to its owner instead of passing the key on.
    if (h.owner != 0) {
      const SystemHotkey hotkey = h;
      CallProcedure(ProcedureOf(hotkey.owner), hotkey.owner, kHotkeyMessage, static_cast<std::uintptr_t>(hotkey.id),
                    static_cast<std::intptr_t>((key << 16) | mods));
    }
    return;
  }
  if (!open_ || focus_ < 0) return;
  switch (RouteKey(virtualKey, heldModifiers)) {
    case KeyRoute::FocusNext: MoveFocus(false); return;
    case KeyRoute::FocusPrevious: MoveFocus(true); return;
    case KeyRoute::CloseWindow: CloseWindow(); return;
    case KeyRoute::KeyDownEvent: break;
  }
  const int code = KeyDownCode(virtualKey);
  Raise(focus_, Event::KeyDown, {code, KeyDownModifiers(code, heldModifiers)});
}

void SimDesktop::TypeText(std::string_view text) {
  if (!open_ || focus_ < 0) return;
  Control& c = controls_[static_cast<std::size_t>(focus_)];
  if (c.entry->kind == ControlKind::EditBox && !c.entry->readOnly) c.text += text;
}

void SimDesktop::Click(ControlRef ref) {
  Control* c = At(ref);
  if (c == nullptr || !c->visible) return;
  const int index = static_cast<int>(ref.control) - 1;
  if (c->entry->tabStop) focus_ = index;
  if (c->entry->kind == ControlKind::CheckBox) c->checked = !c->checked;
  if (c->entry->kind == ControlKind::Button) Raise(index, Event::Clicked, {});
}

void SimDesktop::Scroll(ControlRef bar, ScrollAction action, int trackPosition) {
  Control* c = At(bar);
  if (c == nullptr || c->entry->kind != ControlKind::VScrollBar) return;
  const int target = ScrollTarget(c->scroll, action, trackPosition);
  if (target == c->scroll.position) return;
  c->scroll.position = target;
  Raise(static_cast<int>(bar.control) - 1, Event::PositionChanged, {});
}

void SimDesktop::TurnWheel(int delta) {
  if (!open_) return;
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i].entry->kind != ControlKind::VScrollBar) continue;
    const int lines = wheel_.Lines(delta, kWheelLinesPerNotch);
    if (lines == 0) return;
    const ControlRef bar = RefOf(static_cast<int>(i));
    Scroll(bar, ScrollAction::Track, controls_[i].scroll.position + lines);
    return;
  }
}

SimDesktop::~SimDesktop() { DestroyWindows(); }

void SimDesktop::CloseWindow() {
  if (!open_) return;
  DestroyWindows();
  open_ = false;
  shown_ = false;
  focus_ = -1;
  controls_.clear();
  EndLoop();
}

void SimDesktop::DestroyWindows() {
  if (!open_) return;
  // Each window's last message, to whatever procedure it has by then.
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const NativeWindow window = WindowHandle(RefOf(static_cast<int>(i)));
    if (procedures_.contains(window)) CallProcedure(ProcedureOf(window), window, kNonClientDestroy, 0, 0);
  }
  // A window's hotkeys end with it.
  std::erase_if(hotkeys_, [](const SystemHotkey& h) { return h.owner != 0; });
  procedures_.clear();
}

bool SimDesktop::WindowOpen() const { return open_; }
bool SimDesktop::WindowShown() const { return shown_; }
ControlRef SimDesktop::Focus() const { return RefOf(focus_); }

std::vector<ControlRef> SimDesktop::ChildrenInZOrder(ControlRef parent) const {
  std::vector<ControlRef> refs;
  if (const Control* c = At(parent)) {
    for (int child : c->children) refs.push_back(RefOf(child));
  }
  return refs;
}

Rect SimDesktop::ScreenRect(ControlRef ref) const {
  const Control* c = At(ref);
  if (c == nullptr) return {};
  int left = c->left;
  int top = c->top;
  for (int p = c->parent; p >= 0; p = controls_[static_cast<std::size_t>(p)].parent) {
    left += controls_[static_cast<std::size_t>(p)].left;
    top += controls_[static_cast<std::size_t>(p)].top;
  }
  return {left, top, left + c->width, top + c->height};
}

void SimDesktop::MoveFocus(bool backwards) {
  std::vector<TabNode> nodes;
  nodes.reserve(controls_.size());
  for (const Control& c : controls_) {
    if (c.parent < 0) {
      nodes.push_back({-2, 0, 0, false});  // the window itself is no stop
      continue;
    }
    nodes.push_back({c.parent == 0 ? -1 : c.parent, c.left, c.top, c.visible && c.entry->tabStop});
  }
  const int next = NextTabStop(nodes, focus_, backwards);
  if (next < 0) return;
  focus_ = next;
  RevealFocus();
}

void SimDesktop::RevealFocus() {
  const auto bar = std::find_if(controls_.begin(), controls_.end(),
                                [](const Control& c) { return c.entry->kind == ControlKind::VScrollBar; });
  if (focus_ < 0 || bar == controls_.end()) return;
  const ControlRef barRef = RefOf(static_cast<int>(bar - controls_.begin()));
  for (;;) {
    const Rect focused = ScreenRect(RefOf(focus_));
    Rect shown = focused;
    for (int p = controls_[static_cast<std::size_t>(focus_)].parent; p >= 0;
         p = controls_[static_cast<std::size_t>(p)].parent) {
      const Rect area = ScreenRect(RefOf(p));
      shown = {std::max(shown.left, area.left), std::max(shown.top, area.top), std::min(shown.right, area.right),
               std::min(shown.bottom, area.bottom)};
    }
    const auto step = RevealStep(focused.top, focused.bottom, shown.top, shown.bottom);
    const int before = Get(barRef, Property::Position);
    if (!step) return;
    Scroll(barRef, *step);
    if (Get(barRef, Property::Position) == before) return;
  }
}

}  // namespace platform::sim
