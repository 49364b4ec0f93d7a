// guicontrols: one declaring operation per control kind, and the operations
// that act on a window or control by name.
//
//   addbutton("win.play", "play", onplay, 10, 10, 80, 24, 0);  // declare first
//   addcombobox("win.dev", ondevice, 10, 40, 200, 300);
//   openwindow("win", ...);                      // now the controls exist
//   setcombolist("win.dev", names);              // names[0] "" is skipped
//   selectcombotext("win.dev", "speaker", names);
//   int pos = 0; getcomboindex("win.dev", pos);  // 1-based, 0 = none
//   settext("win.msg", "ready"); std::string s = gettext("win.msg");
//
// Every by-name operation looks the name up with gethandle (windows first,
// then controls) and does nothing when there is no handle: names not
// registered, closed windows, controls not yet created. String results are
// then empty and out-arguments unchanged. List positions are 1-based, 0 = none.
// A style argument of 0 keeps the kind's base style.
//
// Lists are filled from a string array (a vector with elements 0..size-1):
// an empty element 0 is skipped, the first empty element after 0 ends the list.
//
// The plug-in's instance (QUARN_GUI_PLUGIN=1): fonts keep the stock width at
// weight 500; image buttons and static bitmaps take .bmp files only; it alone
// has the four scroll-bar position and range operations.
// Thread: user-interface thread only.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gui_quarn/guitables.h"

typedef std::vector<std::string> guistrings;

// Declaring (the control is created when its window opens).
void addbutton(const std::string &fullname, const std::string &text, guicallback callback,
               int x, int y, int width, int height, uint32_t style);
void addcheckbox(const std::string &fullname, const std::string &text, guicallback callback,
                 int x, int y, int width, int height);
void addradiobutton(const std::string &fullname, const std::string &text, guicallback callback,
                    int x, int y, int width, int height);
void addiconbutton(const std::string &fullname, const std::string &iconfile,
                   guicallback callback, int x, int y, int width, int height);
void addbmpbutton(const std::string &fullname, const std::string &imagefile,
                  guicallback callback, int x, int y, int width, int height);
void addstatic(const std::string &fullname, const std::string &text, int x, int y, int width,
               int height, uint32_t style);
void addstaticicon(const std::string &fullname, const std::string &iconfile, int x, int y,
                   int width, int height);
void addstaticbmp(const std::string &fullname, const std::string &imagefile, int x, int y,
                  int width, int height);
// option "gfx" gives the box an image buffer of width x height.
void addgraphicbox(const std::string &fullname, int x, int y, int width, int height,
                   const std::string &option, uint32_t style);
void addedit(const std::string &fullname, const std::string &text, guicallback callback, int x,
             int y, int width, int height, uint32_t style);
// Only the orientation "vert" exactly makes a vertical bar.
void addscrollbar(const std::string &fullname, const std::string &orientation,
                  guicallback callback, int x, int y, int width, int height, uint32_t style);
void addcombobox(const std::string &fullname, guicallback callback, int x, int y, int width,
                 int height);
void addlistbox(const std::string &fullname, guicallback callback, int x, int y, int width,
                int height, uint32_t style);

// Text, state, visibility, focus.
void settext(const std::string &name, const std::string &text);
std::string gettext(const std::string &name);  // at most 3999 characters
void checkbutton(const std::string &name);
void uncheckbutton(const std::string &name);
void guienable(const std::string &name);
void guidisable(const std::string &name);
void guishow(const std::string &name);
void guihide(const std::string &name);
void guishownoactivate(const std::string &name);
void guisetfocus(const std::string &name);

// Geometry and redrawing.
void getguirect(const std::string &name, int &x, int &y, int &width, int &height);  // screen
void guimove(const std::string &name, int x, int y, int width, int height);  // table unchanged
void movecontrol(const std::string &name, int x, int y, int width, int height);  // 0 keeps a side
void redrawwindow(const std::string &window);
void redrawcontrol(const std::string &name);
void guiredrawall();                 // every window that has a handle, with its controls
imagebuffer *getgraphicbox(const std::string &fullname);  // 0 = none

// Combo boxes.
void setcombolist(const std::string &name, const guistrings &list);
void addcomboitem(const std::string &name, const std::string &text);  // "" adds nothing
void selectcombotext(const std::string &name, const std::string &text, const guistrings &list);
void setcomboindex(const std::string &name, int position);
void getcomboindex(const std::string &name, int &position);
void deletecomboitem(const std::string &name, int position);
void resetcombo(const std::string &name);
std::string getcombotext(const std::string &name, const guistrings &list);  // from the array

// List boxes.
void setlistboxlist(const std::string &name, const guistrings &list);
void selectlistboxtext(const std::string &name, const std::string &text, const guistrings &list);
void addlistboxitem(const std::string &name, const std::string &text);  // "" adds an empty line
std::string getlistboxitem(const std::string &name, int position);
void getlistboxindex(const std::string &name, int &position);
void setlistboxindex(const std::string &name, int position);
std::string getlistboxtext(const std::string &name);

#if QUARN_GUI_PLUGIN
// Scroll bars (the plug-in's instance only).
void getscrollbarpos(const std::string &name, int &position);
void setscrollbarpos(const std::string &name, int position);
void getscrollbarrange(const std::string &name, int &min, int &max);
void setscrollbarrange(const std::string &name, int min, int max);
#endif

// Colours: each component 0..255 (higher bits are dropped).
void setbackcolor(int red, int green, int blue);        // statics; windows only before opening
void seteditbackcolor(int red, int green, int blue);
void setlistboxbackcolor(int red, int green, int blue);
void setedittextcolor(int red, int green, int blue);
void setlistboxtextcolor(int red, int green, int blue);
void setstatictextcolor(int red, int green, int blue);

// Fonts from stock font numbers 10, 11, 12, 13, 14, 16, 17; size 0 keeps the
// stock size; any other number gives the default GUI font (17).
void seteditfont(int stockfont, int size, int italic);
void setstaticfont(int stockfont, int size, int italic);
void setlistboxfont(int stockfont, int size, int italic);
void setbuttonfont(int stockfont, int size, int italic);
HFONT guimakefont(int stockfont, int size, int italic);

// For the control-kind operations: sets the pending class and base style and
// registers the control (guiaddcontrol); a non-zero style replaces the base.
void guideclare(const char *classname, uint32_t basestyle, const std::string &fullname,
                const std::string &text, guicallback callback, int x, int y, int width,
                int height, uint32_t style);

// By handle: a zero handle does nothing (gettexthandle gives "").
void settexthandle(HWND handle, const std::string &text);
std::string gettexthandle(HWND handle);
void guienablehandle(HWND handle);
void guidisablehandle(HWND handle);
void guishowhandle(HWND handle);
void guihidehandle(HWND handle);
void redrawhandle(HWND handle);
void guisetfocushandle(HWND handle);  // also makes it the current handle
