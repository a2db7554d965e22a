#pragma once

#include <cstdint>

#include "app/row_list.h"
#include "platform/form.h"
#include "platform/input_services.h"
#include "platform/window_services.h"

namespace app {

// Everything the handlers share, passed to each instead of living in globals.
struct Program {
  Program(platform::FormRuntime& formRuntime, platform::WindowServices& windowServices,
          platform::InputServices& inputServices)
      : form(formRuntime), windows(windowServices), input(inputServices) {}

  platform::FormRuntime& form;
  platform::WindowServices& windows;
  platform::InputServices& input;
  std::int32_t RowCount = 0;
  RowLists rows;
  std::uint32_t window = 0;

  platform::ControlRef Named(const char* name) const { return form.Find(window, name); }
};

}  // namespace app
