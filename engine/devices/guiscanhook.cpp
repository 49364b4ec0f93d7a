// guiscanhook.cpp: the message pass the device objects make while they close.
// User-interface thread.
#include "engine/devices/guiscanhook.h"

#include <windows.h>

void (*guiscanhook)() = dispatchpendingmessages;

void dispatchpendingmessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void runguiscanhook() {
  if (guiscanhook) guiscanhook();
}
