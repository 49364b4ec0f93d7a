// renderconsolewin.cpp: is stderr a console? (Win32)
// Only a console answers GetConsoleMode; _isatty would also say yes for the
// null device (2>nul), where the line would be written for nobody.
#include <windows.h>

#include "app/renderterminal.h"

bool stderristerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}
