// guicore: windows and controls addressed by name, and the two message boxes.
//
//   guiinit();                                        // empty tables, icon, brushes
//   addbutton("win.play", ...); ...                   // declare controls first
//   openwindow("win", "caption", x, y, w, h, style, exstyle);   // creates them
//   ... guiscan() in the program's loop (guievents.h) ...
//   closewindow("win");                               // controls go, names stay
//   guiclose("nomsg");  or  guiexit("nomsg");
//
// Misuse is reported with guinotice (the title names the failing operation);
// names that are not registered are otherwise ignored.
// Thread: user-interface thread only.
#pragma once
#include <cstdint>
#include <string>

#include "gui_quarn/guitables.h"

// Start-up: screen size and depth, drawing buffer, module instance, icon path,
// then guiinit. Runs by itself when the module is initialised; calling it
// again does nothing.
void guistartup();

void guiinit();
void guiclose(const std::string &option);             // "nomsg": no notices
[[noreturn]] void guiexit(const std::string &option);

void openwindow(const std::string &name, const std::string &caption, int x, int y,
                int width, int height, uint32_t style, uint32_t exstyle);
void closewindow(const std::string &name);
int iswindowopen(const std::string &name);            // 1 or 0

// Registers (or overwrites) a control; the control-kind operations set
// gui.pendingclass and gui.pendingstyle first. Sets gui.currentcontrol.
void guiaddcontrol(const std::string &fullname, const std::string &text, guicallback callback,
                   int x, int y, int width, int height, uint32_t style);

int guifind(const std::string &name);                 // window index, else control index, else 0
HWND gethandle(const std::string &name);              // windows first, then controls
std::string getguiname(HWND handle);                  // "" when unknown

void guinotice(const std::string &text, const std::string &title);
void guiconfirm(const std::string &text, const std::string &title, std::string &answer);  // "yes"/"no"

// Look-ups without side effects, for the other parts of the toolkit.
int guiwindowindex(const std::string &name);          // 0 when absent
int guicontrolindex(const std::string &fullname);     // 0 when absent
int guiwindowofhandle(HWND handle);                   // 0 when absent
int guicontrolofhandle(HWND handle);                  // 0 when absent

// The drawing buffer (2048 x 2048, filled with 0xFF000000) and its header.
void guimakedrawbuffer();
// Takes start-up's program icon if start-up left it for later (openwindow).
void guitakependingicon();
