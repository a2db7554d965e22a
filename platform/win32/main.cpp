#include <windows.h>

#include "app/shell.h"
#include "platform/win32/win32_form.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  platform::win32::Win32Form form(instance, showCommand);
  app::Program program(form);
  return app::StartProgram(program);
}
