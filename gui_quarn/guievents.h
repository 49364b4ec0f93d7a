// guievents: native messages turned into calls of the program's callbacks.
//
//   trapclose("win", onclose);        // without it the close box does nothing
//   addusersub(1000, onsomething);    // a callback reached by command number 1000
//   while (...) { guiscan(); ... guisleep(20); }   // the program's loop
//   in a callback: guievent.index, .code, .mousex ... ; guicurrentcontrol()
//
// Thread: user-interface thread; the window procedure and every callback run
// inside guiscan, guiwait or a platform call that dispatches messages.
#pragma once
#include <string>

#include "gui_quarn/guitables.h"

void trapclose(const std::string &window, guicallback callback);
void trapresize(const std::string &window, guicallback callback);
void trapkeyboard(const std::string &window, guicallback callback);
void trapleftmouse(const std::string &control, guicallback callback);
void traprightmouse(const std::string &control, guicallback callback);
void trapleftmouseup(const std::string &control, guicallback callback);
void traprightmouseup(const std::string &control, guicallback callback);
void trapmovemouse(const std::string &control, guicallback callback);

void addusersub(int index, guicallback callback);
void changeusersub(int index, guicallback callback);

void guiscan();                        // at most 1000 messages, never blocks
void guiwait();                        // guiscan, then blocks for one message
std::string guigetkey();               // last typed character, then cleared
int guikeydown(int virtualkey);        // -1 while down, else 0
void guisleep(int milliseconds);       // clamped to 1..30000
std::string guicurrentcontrol();       // fullname at the current control index

// The window procedure of the class "GUIQUARN".
LRESULT CALLBACK guiwndproc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// Scroll-bar move for a control scroll bar: request = low 16 bits of wparam.
void guimovescrollbar(HWND bar, WPARAM wparam);
// The page step of a bar with range min..max: max(1, round-half-even((max-min)/10)).
int guiscrollpage(int min, int max);
