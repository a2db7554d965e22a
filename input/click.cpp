#include "input/click.h"

namespace input {

void ClickAtPoint(platform::InputServices& input, int x, int y) {
  const auto home = input.CursorPosition();
  input.MoveCursor({x, y});
  input.SendLeftClick();
  // Without a first reading there is nowhere known to go back to.
  if (home) input.MoveCursor(*home);
}

}  // namespace input
