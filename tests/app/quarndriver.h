// quarndriver.h: roomcaster_quarn.exe started and used from outside, as a user would.
//
//   QuarnRun q = startquarn(folder);      // the program in `folder` (its own copy), main loop running
//   HWND gain = control(q, "win.gain");   // a control found by its place in the window
//   comboentries(gain), comboselection(gain), choose(q, "win.gain", 81), click(q, "win.play")
//   std::string box = answerbox("confirm", IDOK);   // a message box read and answered
//   presskey(q, VK_ESCAPE);               // held long enough for the program's key test
//   int code = waitquarn(q);              // the process's exit code, -1 when it hangs
//   readfile(folder + "\\roomcaster_quarn.ini")
//
// Everything crosses the process boundary through window messages, which Wine
// marshals; the program answers within one pass of its 20 ms loop. A program
// that does not answer, or does not end, fails the test with its threads' stacks.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/app/hostshell.h"  // readfile, and the host commands of the sound tests

// A run ends the program if it is still running when the run goes (a failed test).
struct QuarnRun {
  std::string folder;      // the program's folder and current directory
  HANDLE process = 0;
  HWND win = 0;            // the main window "win", 0 until it is up
  QuarnRun() = default;
  QuarnRun(QuarnRun &&other) noexcept { *this = std::move(other); }
  QuarnRun &operator=(QuarnRun &&other) noexcept;
  ~QuarnRun();
};

// A new empty folder for one run (Windows path), under the system's temporary folder.
std::string scratchfolder(const std::string &name);
bool writefile(const std::string &path, const std::string &text);
// Line n (1-based, without its ending) of the settings file in the folder.
std::string settingsline(const std::string &folder, int n);
// A settings file of window position, default devices, gain 1 and 1500-frame
// blocks (Wine's waveform audio drops out at the program's own 400).
inline const std::string settings1500 = " 10\r\n 10\r\n-1\r\n-1\r\n 1\r\n 1500\r\n";

// Copies the program (dist's, or exe) into folder and starts it there; waits up
// to 20 s for its window, and up to 20 s more for its main loop (the status box
// filled), so the devices are open.
QuarnRun startquarn(const std::string &folder, const char *exe = nullptr);
// The same in a new scratch folder (scratchfolder(name)) given that settings file.
QuarnRun startwithsettings(const std::string &name, const std::string &settings);
// Waits for the process to end; its exit code, or -1 after timeoutms (it is then
// killed, after its threads' stacks are printed).
int waitquarn(QuarnRun &q, int timeoutms = 20000);
// Where each thread of a process stands (Wine's debugger, attached for a moment).
std::string threadstacks(DWORD pid);

// The control whose place in the window's client area is the named control's.
HWND control(const QuarnRun &q, const std::string &name);
std::string windowtext(HWND h);

std::vector<std::string> comboentries(HWND combo);
int comboselection(HWND combo);  // 1-based, 0 = none
// A user's list choice: the selection, then the notice a combo box sends its parent.
void choose(const QuarnRun &q, const std::string &name, int position);
void click(const QuarnRun &q, const std::string &name);
bool checked(const QuarnRun &q, const std::string &name);
void closebox(const QuarnRun &q);  // the title bar's close box
// The key pressed on win (or on the control with the focus) and held.
void presskey(const QuarnRun &q, WORD key, int holdms = 150);

// Waits up to timeoutms for a visible dialog of that title and returns its text
// ("" when none came); then answers it (IDOK, IDCANCEL) or leaves it (0).
std::string answerbox(const std::string &title, int answer, int timeoutms = 10000);
// Waits until fn() holds, up to timeoutms.
template <class F>
bool waituntil(F fn, int timeoutms) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < static_cast<DWORD>(timeoutms); Sleep(20))
    if (fn()) return true;
  return fn();
}
// The sample count of the latest captured block, as the status text shows it
// ("freeout=5/3000/12"); -1 when the text has another form.
int capturedsamples(const QuarnRun &q);
// The screen pixel at a point of win's client area, as 0xRRGGBB.
unsigned clientpixel(const QuarnRun &q, int x, int y);
