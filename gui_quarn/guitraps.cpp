// guitraps: per-window and per-control traps, and usersubs (callbacks reached
// by command numbers 1000..10000, above every control index).
// Thread: user-interface thread only.
#include "gui_quarn/guicore.h"
#include "gui_quarn/guievents.h"

static void trapwindow(const char *label, const std::string &name, guicallback callback,
                       guicallback guiwindow::*trap) {
  int w = guiwindowindex(name);
  if (!w) {
    guinotice(std::string(label) + name + " not fount !", "warning");
    return;
  }
  gui.windows[w].*trap = callback;
}

static void trapcontrol(const char *label, const std::string &name, guicallback callback,
                        guicallback guicontrol::*trap) {
  int c = guicontrolindex(name);
  if (!c) {
    guinotice(std::string(label) + name + " not fount !", "warning");
    return;
  }
  gui.controls[c].*trap = callback;
}

void trapclose(const std::string &window, guicallback callback) {
  trapwindow("trapclose :", window, callback, &guiwindow::close);
}
void trapresize(const std::string &window, guicallback callback) {
  trapwindow("trapresize :", window, callback, &guiwindow::resize);
}
void trapkeyboard(const std::string &window, guicallback callback) {
  trapwindow("trapkeyboard :", window, callback, &guiwindow::keyboard);
}
void trapleftmouse(const std::string &control, guicallback callback) {
  trapcontrol("trapleftmouse :", control, callback, &guicontrol::leftmouse);
}
void traprightmouse(const std::string &control, guicallback callback) {
  trapcontrol("traprightmouse :", control, callback, &guicontrol::rightmouse);
}
void trapleftmouseup(const std::string &control, guicallback callback) {
  trapcontrol("trapleftmouseup :", control, callback, &guicontrol::leftmouseup);
}
void traprightmouseup(const std::string &control, guicallback callback) {
  trapcontrol("traprightmouseup :", control, callback, &guicontrol::rightmouseup);
}
void trapmovemouse(const std::string &control, guicallback callback) {
  trapcontrol("trapmovemouse :", control, callback, &guicontrol::movemouse);
}

static std::string maxnotice(int index) {
  return "usersub index max = " + std::to_string(nusersub) + " , asked= " + std::to_string(index);
}

void addusersub(int index, guicallback callback) {
  if (index < usersubmin) {
    guinotice("usersub index must be >= 1000\rindex asked : " + std::to_string(index),
              "addusersub");
  } else if (index > nusersub) {
    guinotice(maxnotice(index), "addusersub");
  } else if (gui.usersub[index]) {
    guinotice("usersub index : " + std::to_string(index) + "  yet used !", "addusersub");
  } else {
    gui.usersub[index] = callback;
  }
}

// Replaces whatever is there, occupied or not. A negative index has no slot:
// it is refused with a notice rather than written outside the table.
void changeusersub(int index, guicallback callback) {
  if (index > nusersub) {
    guinotice(maxnotice(index), "changeusersub");
  } else if (index < 0) {
    guinotice("usersub index must be >= 0\rindex asked : " + std::to_string(index),
              "changeusersub");
  } else {
    gui.usersub[index] = callback;
  }
}
