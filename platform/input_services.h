#pragma once

#include <optional>

namespace platform {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(Point, Point) = default;
};

// The cursor and synthetic mouse input, in signed screen pixels.
class InputServices {
 public:
  virtual ~InputServices() = default;

  virtual std::optional<Point> CursorPosition() = 0;
  virtual bool MoveCursor(Point to) = 0;
  // A press and a release of the left button where the cursor is, sent as
  // one piece of synthetic input so nothing can come between them.
  virtual bool SendLeftClick() = 0;
};

}  // namespace platform
