// panelactions.h: what each control of the main window does when used.
// Callbacks of the toolkit: user-interface thread, inside guiscan.
#pragma once

void onquit();        // the "quit" button and the window's close box
void onplay();
void onwavein();
void onwaveout();
void onbuffersize();
void ongain();
void onpan();
void onwet();
void ontplug();
void onplugins();
void ontestloop();
void oncolor();
void onsave();
void onload();

// The gain list's choice taken into `gain` (also at exit while play is 0).
void takegainchoice();
