// guimenus: a window's menu bar, built from "menu" and "menuitem" entries of
// the control table. Unlike controls, menus are built at once, so only on a
// window that is already open; closing the window destroys the bar and every
// drop-down, and they must be added again after reopening.
//
//   openwindow("win", ...);
//   addmenu("win.file", "&File", MF_POPUP);               // a drop-down on the bar
//   addmenuitem("win.file.open", "&Open", onopen, 0);      // its command is its slot
//   addmenuitem("win.file.wrap", "wrap", onwrap, 0);
//   checkmenuitem("win.file", 2);                          // positions from 1
//   setmenutext("win.file", 1, "open again");              // at most 254 characters
//   in onopen: guievent.index == the item's slot, guicurrentcontrol() == "win.file.open"
//
// The flags go unchanged to the platform's AppendMenuA; a drop-down needs the
// pop-up flag (MF_POPUP, 0x10). A state replaces every state bit of the item:
// checking also enables, greying also unchecks.
// Misuse is a notice titled after the operation; the slot taken stays registered.
// Thread: user-interface thread only.
#pragma once
#include <cstdint>
#include <string>

#include "gui_quarn/guitables.h"

void addmenu(const std::string &fullname, const std::string &caption, uint32_t flags);
void addmenuitem(const std::string &fullname, const std::string &caption, guicallback callback,
                 uint32_t flags);

// menu is the drop-down's fullname ("win.file"); position 1 is its first item
// and position 0 does nothing. Notices are titled "setmenuitemstate".
void setmenuitemstate(const std::string &menu, int position, uint32_t state);
void checkmenuitem(const std::string &menu, int position);     // state 8: check mark
void uncheckmenuitem(const std::string &menu, int position);   // state 0
void enablemenuitem(const std::string &menu, int position);    // state 0
void disablemenuitem(const std::string &menu, int position);   // state 3: greyed, disabled
void setmenutext(const std::string &menu, int position, const std::string &text);
