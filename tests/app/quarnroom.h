// quarnroom.h: a simulated room on the sound server for the running program.
//
//   QuarnRoom room;                     // two null sinks of its own: speaker and mic
//   room.loop(60);                      // speaker's sound reaches mic at 60 % volume
//   room.play("tone.wav");              // a file played into mic (the room's noise)
//   QuarnRun q = startquarn(folder); room.enter(q);   // the user picks the room's devices
//
// The room is made before the program starts (device lists are read at start-up).
// The program is put into it as a user would: by choosing the speaker and the
// microphone's monitor in its device lists. The server's own defaults never
// change. Everything is unloaded when the room goes. Without a sound server
// `ready` is false.
#pragma once
#include <string>

struct QuarnRoom {
  QuarnRoom();
  ~QuarnRoom();
  bool ready = false;
  std::string speaker, mic;  // sink names
  std::string modules;       // loaded module numbers, space-separated
  std::string loopinput;     // the loopback's stream into mic
  // Chooses the room's devices in the program's lists. Each choice reopens the
  // devices and proposes the loop test: the first proposal is declined; the
  // second is left open for the caller (true when it came).
  bool enter(const struct QuarnRun &q);
  // A loopback from the speaker's monitor into mic at `percent` volume (cubic scale).
  bool loop(int percent);
  // The loop's volume changed (0: the room is open again, the loopback stays loaded).
  bool setloop(int percent);
  // Plays a WAV file (host path) into mic, in the background, for its length.
  void play(const std::string &hostfile);
  // Records the speaker for `seconds` into a host WAV file; returns when done.
  bool record(const std::string &hostfile, double seconds);
  // Records what mic carries (the program's input) for `seconds` into a host
  // WAV file, in the background; `listened` waits until the file is whole.
  void listen(const std::string &hostfile, double seconds);
  bool listened(const std::string &hostfile, int timeoutms);
};
