// guiscan: the message pump the program calls from its own loop, the Enter
// shortcut, and the small key and time helpers.
// Thread: user-interface thread; callbacks run inside these calls.
#include "gui_quarn/guicore.h"
#include "gui_quarn/guievents.h"

// Enter on a focused control calls that control's callback, once per press:
// this is how an edit box reports that the user finished typing.
static void entershortcut() {
  if (!(GetKeyState(VK_RETURN) & 0x8000)) {
    gui.enterlatch = 0;
    return;
  }
  if (gui.enterlatch) return;
  gui.enterlatch = 1;
  HWND focus = GetFocus();
  if (!focus) return;
  int i = guicontrolofhandle(focus);
  if (i && gui.controls[i].callback) gui.controls[i].callback();
}

// Each message is taken by the same call that finds it. A look without taking
// followed by a waiting take would block when the message is gone in between
// (a paint whose window was validated meanwhile, a key a hook swallows): the
// caller's loop would then stand still until the next message came, with a
// click already handled but its request never seen.
void guiscan() {
  if (gui.quit) return;
  // At most 1000 messages, so a flood cannot stall the program's own loop.
  for (int n = 0; n < 1000; n++) {
    MSG m;
    if (!PeekMessageA(&m, 0, 0, 0, PM_REMOVE)) break;
    if (m.message == WM_QUIT) {
      gui.quit = 1;
      break;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  entershortcut();
}

void guiwait() {
  guiscan();
  MSG m;
  int got = GetMessageA(&m, 0, 0, 0);
  if (got == 0 || got == -1 || m.message == WM_QUIT) return;
  TranslateMessage(&m);
  DispatchMessageA(&m);
}

std::string guigetkey() {
  guiscan();
  std::string key;
  key.swap(guievent.typed);
  return key;
}

int guikeydown(int virtualkey) { return (GetKeyState(virtualkey) & 0x8000) ? -1 : 0; }

void guisleep(int milliseconds) {
  if (milliseconds < 1) milliseconds = 1;
  if (milliseconds > 30000) milliseconds = 30000;
  Sleep((DWORD)milliseconds);
}

std::string guicurrentcontrol() {
  int i = gui.currentcontrol;
  if (i < 0 || i > ngui) return "";
  return gui.controls[i].fullname;
}
