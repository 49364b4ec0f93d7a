// guitables: the toolkit's registry of windows and controls, the event record
// and the toolkit-wide state. One instance per module: the main program and
// the plug-in each link their own copy of gui_quarn and so own their own tables.
//
//   gui.windows[i]   i = 1..gui.windowsused   (slot 0 is never handed out)
//   gui.controls[i]  i = 1..gui.controlsused
//   gui.usersub[i]   i = 1000..10000 for addusersub
//   guievent         what the last dispatched event carried; callbacks read it
//
// Thread: user-interface thread only (the thread that opened the windows).
// Nothing here is locked. Slots are never freed: a name keeps its slot for the
// whole run (guiinit empties everything).
//
// After this header is in use, it only grows: fields are added, never renamed.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A callback: no arguments, no result; 0 means none. It learns about its event
// from guievent or by asking the toolkit by name.
typedef void (*guicallback)();

constexpr int ngui = 900;        // capacity of the window table and of the control table
constexpr int nusersub = 10000;  // highest usersub index
constexpr int usersubmin = 1000; // lowest index addusersub accepts

// An off-screen pixel image: rows top-down, one 32-bit word per pixel
// (blue in the low byte, then green, red, and a top byte). Made with new and
// freed with delete, so whoever holds the pointer can free it.
struct imagebuffer {
  int width = 0;                 // pixels
  int height = 0;                // pixels
  std::vector<uint32_t> pixels;  // width * height words, row 0 first
};

struct guiwindow {
  std::string name;          // one word, exact and case-sensitive
  std::string caption;       // title bar text given to openwindow
  uint32_t style = 0;        // native window style given to openwindow
  uint32_t exstyle = 0;      // native extended style given to openwindow
  HWND handle = 0;           // 0 while not open
  HMENU menubar = 0;         // 0 until the first addmenu on this window
  int opened = 0;            // 1 while open
  guicallback close = 0;     // trapclose: the title bar's close box
  guicallback resize = 0;    // trapresize
  guicallback keyboard = 0;  // trapkeyboard: key down and key up
};

struct guicontrol {
  std::string fullname;   // "window.control" as passed
  std::string window;     // text before the first "." of fullname; "" = invalid
  std::string classname;  // "button", "static", "edit", "scrollbar", "combobox",
                          // "listbox", or the kinds "menu" and "menuitem"
  std::string text;       // caption, or the kind's tag ("combo", "graphicbox" ...)
  uint32_t style = 0;     // native style (0x54000000 is added at creation)
  int x = 0;              // position in the parent's client area, pixels
  int y = 0;
  int width = 0;
  int height = 0;
  HWND handle = 0;        // 0 until the window opens; the HMENU of a "menu"
                          // entry; (HWND)1 for a menu item once appended
  guicallback callback = 0;  // command, scroll and Enter-key events
  HICON icon = 0;            // icon buttons and static icons
  HBITMAP bitmap = 0;        // bitmap buttons and static bitmaps
  imagebuffer *image = 0;    // a graphic box's off-screen image, 0 = none
  guicallback leftmouse = 0;     // mouse traps (graphic boxes and statics)
  guicallback rightmouse = 0;
  guicallback leftmouseup = 0;
  guicallback rightmouseup = 0;
  guicallback movemouse = 0;
};

// The event record: overwritten by each dispatched event, read by callbacks.
struct guieventrecord {
  HWND hwnd = 0;         // resize, close, key, command, scroll: receiving window
  UINT msg = 0;          // key and scroll events: message number
  WPARAM wparam = 0;     // resize, close, key, command, scroll
  LPARAM lparam = 0;     // resize, close, key, command, scroll
  int key = 0;           // key events: virtual-key code (copy of wparam)
  int index = 0;         // command events: the control's index
  HWND handle = 0;       // command events: the control's handle
  int code = 0;          // command events: notification code (high 16 bits of wparam)
  int mousex = 0;        // mouse events: pointer position from the control's
  int mousey = 0;        //   top-left corner, pixels
  std::string typed;     // character events: the last character typed
};

struct guitables {
  guiwindow windows[ngui + 1];     // slot 0 never handed out
  guicontrol controls[ngui + 1];   // slot 0 never handed out
  guicallback usersub[nusersub + 1] = {};  // command numbers 1000..10000
  int windowsused = 0;             // windows take slot windowsused + 1
  int controlsused = 0;            // controls take slot controlsused + 1

  int started = 0;                 // window class "GUIQUARN" registered
  int currentwindow = 0;           // set by openwindow's look-up
  int currentcontrol = 0;          // set by guiaddcontrol, setcombolist, command dispatch
  HWND currenthandle = 0;          // set by guifind, gethandle, command dispatch
  std::string currentkind;         // "window", "control" or "" (set by guifind)

  std::string pendingclass;        // set by each control-kind operation just
  uint32_t pendingstyle = 0;       //   before it calls guiaddcontrol

  // Appearance. Colours are native RGB: red in the low byte.
  COLORREF staticbackcolor = 0;          // 0 = none
  COLORREF editbackcolor = 0xFFFFFF;
  COLORREF listbackcolor = 0xFFFFFF;
  COLORREF statictextcolor = 0;
  COLORREF edittextcolor = 0;
  COLORREF listtextcolor = 0;
  HFONT editfont = 0;                    // 0 = platform default
  HFONT staticfont = 0;
  HFONT listfont = 0;
  HFONT buttonfont = 0;
  HBRUSH windowbrush = 0;                // made when the class is registered
  HBRUSH editbrush = 0;
  HBRUSH listbrush = 0;

  HICON programicon = 0;                 // 0 = none
  std::string iconpath;                  // current directory + "/gui_quarn.ico"

  // The drawing buffer: 2048 x 2048, through which graphic boxes are painted.
  imagebuffer *drawbuffer = 0;
  BITMAPV4HEADER drawheader = {};        // describes drawbuffer for StretchDIBits

  int screenwidth = 0;                   // pixels
  int screenheight = 0;
  int screendepth = 32;                  // bits per pixel
  HINSTANCE instance = 0;                // this module's instance

  int quit = 0;                          // guiscan has seen the quit message
  int enterlatch = 0;                    // set while the Enter key is held
};

extern guitables gui;            // this module's toolkit instance
extern guieventrecord guievent;  // this module's event record
