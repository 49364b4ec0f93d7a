// fakewave.h: a waveform "device" that answers the device objects without a sound card.
//
//   fakewavereset();              // fresh answers and an empty log; installs the fake table
//   fake.closeanswers = {33, 33}; // shape the answers of the next calls
//   createwavein(d, 0);           // the object talks to the fake
//   fake.log                      // every call, in order: "inopen", "sleep100", ...
//   fakewaverestore();            // the platform's table again
//
// The fake's open and close send the open and close events to the object's
// callback during the call, as the platform does.
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "engine/wavedevices.h"

struct FakeWave {
  std::vector<std::string> log;    // calls in order: "inprepare 2", "outwrite 0", "sleep50", "scan"
  MMRESULT capsresult = 0;         // answer of incaps / outcaps
  MMRESULT openresult = 0;         // answer of inopen / outopen
  bool openevent = true;           // a successful open sends the open event
  UINT opendevice = 12345;         // device number the last open asked for
  WAVEFORMATEX openformat{};       // format the last open asked for
  DWORD openmode = 0;              // mode the last open asked for
  DWORD_PTR openinstance = 0;      // instance value the last open passed
  std::deque<MMRESULT> closeanswers;     // answers of the next closes; 0 when empty
  std::deque<MMRESULT> inprepareanswers;   // answers of the next capture prepares; 0 when empty
  std::deque<MMRESULT> outprepareanswers;  // answers of the next playback prepares; 0 when empty
  MMRESULT unprepareresult = 0;    // answer of every unprepare
  MMRESULT writeresult = 0;        // answer of outwrite
  MMRESULT startresult = 0;        // answer of instart
  int writes = 0;                  // outwrite calls that succeeded
  // The object as seen at the moment of the first reset (was the flow already stopped?)
  int runningatreset = -1;
  bool portatreset = true;         // engineplayback was set when outreset came
};

extern FakeWave fake;

void fakewavereset();
void fakewaverestore();

// Index of the first log entry equal to text, or -1.
int logindex(const std::string &text);
// Number of log entries equal to text.
int logcount(const std::string &text);
