#include <windows.h>

#include "app/shell.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_services.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  platform::win32::Win32Form form(instance, showCommand);
  platform::win32::Win32Windows windows;
  platform::win32::Win32Input input;
  app::Program program(form, windows, input);
  return app::StartProgram(program);
}
