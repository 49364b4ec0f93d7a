// guidispatch: commands, scroll messages and mouse messages of a toolkit
// window turned into callback calls. Called by guiwndproc only.
// Thread: user-interface thread.
#pragma once
#include "gui_quarn/guitables.h"

void guicommand(HWND hwnd, WPARAM wparam, LPARAM lparam);
void guiscroll(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
void guimouse(int window, UINT msg, LPARAM lparam);   // window: its index
