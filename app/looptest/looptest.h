// looptest.h: the loop test, run by the main loop when loopteststate is looptestrequested.
//
//   engine.loopteststate = looptestrunning; looptest(); engine.loopteststate = 0;
//
// Asks first ("test loop ? (adjust gain)"), measures the room, sets testgain, and
// puts back gain, play and the engine's input and output modes as it ends.
// User-interface thread; the devices must be open (it listens through them).
//
// app/looptest/ (this is its chief header) holds the loop test in two halves:
//   loopvalues.h   its arithmetic and texts. Portable, library quarn_loopvalues,
//                  tested natively on synthetic recordings (tests/app/looptest).
//   looptest.h     its run on the user-interface thread. Win32, library
//                  quarn_looptest, linked by roomcaster_quarn.
#pragma once

// The loop test's requests in engine.loopteststate (any value but 0 also puts
// the engine on its measurement path):
constexpr int looptestrequested = 199;      // the main loop runs looptest at its next pass
constexpr int looptestafterreopen = 1999;   // a new device chosen: becomes looptestrequested
                                            // once both devices have opened again
constexpr int looptestrunning = 2;          // while looptest runs

void looptest();
