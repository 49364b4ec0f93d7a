// guinotice: the two message boxes through which the toolkit and its programs
// talk to the user. Both are task-modal and have no owner window; the short
// pause after each keeps a held key from reaching the next box.
// Thread: user-interface thread (the box pumps messages while it is up).
#include "gui_quarn/guicore.h"

void guinotice(const std::string &text, const std::string &title) {
  MessageBoxA(0, text.c_str(), title.c_str(), MB_TASKMODAL | MB_OK);
  Sleep(200);
}

void guiconfirm(const std::string &text, const std::string &title, std::string &answer) {
  int pressed = MessageBoxA(0, text.c_str(), title.c_str(), MB_TASKMODAL | MB_OKCANCEL);
  answer = pressed == IDOK ? "yes" : "no";
  Sleep(200);
}
