#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "app/layout.h"
#include "app/shell.h"
#include "platform/sim/sim_desktop.h"

namespace app {

// The program started on a simulated desktop of the given DPI, its loop run
// up to the point where the user would act.
template <int Dpi>
class ProgramTestAt : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(StartProgram(program), platform::sim::SimDesktop::kStillOpen); }

  platform::ControlRef Named(const char* name) const { return program.Named(name); }
  int Get(const char* name, platform::Property property) const { return desktop.Get(Named(name), property); }

  // Runs one user action through the message loop.
  int Act(std::function<void()> action) {
    desktop.Post(std::move(action));
    return desktop.RunMessageLoop();
  }
  void Press(int key, int held = 0) {
    Act([&] { desktop.PressKey(key, held); });
  }

  platform::sim::SimDesktop desktop{1280, 1024, Dpi};
  Program program{desktop, desktop, desktop};
};

using ProgramTest = ProgramTestAt<96>;

}  // namespace app
