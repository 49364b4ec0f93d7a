// presetflows.h: the "save" and "load" buttons of the main window.
//
//   savepresetflow();   // file dialog in "save" beside the program, confirm, savepreset
//   loadpresetflow();   // file dialog, loadpreset, then the window is rebuilt (restart 2)
//
// Either flow leaves the current directory as it found it and hands the focus
// back to "win.msg". Win32 (library quarn_presetflows); user-interface thread.
#pragma once

void savepresetflow();
void loadpresetflow();
