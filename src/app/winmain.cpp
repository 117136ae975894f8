// winmain.cpp: the program's entry and its message loop.

#include <windows.h>

#include "app/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  RegisterMainWindowClass(instance);
  if (!CreateMainWindow(instance, show)) return 0;

  // The accelerators of the resources (Alt+. browse, Alt+A about, Alt+s
  // exit) act on the main window whichever of its controls has the focus.
  HWND window = MainWindow();
  HACCEL accelerators = LoadAcceleratorsA(instance, "IDC_LOG");
  MSG message;
  BOOL got;
  while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
    if (TranslateAcceleratorA(window, accelerators, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return got == 0 ? static_cast<int>(message.wParam) : 1;
}
