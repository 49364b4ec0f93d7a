// looptest.h: the loop test, run by the main loop when loopteststate is 199.
//
//   loopteststate = 2; looptest(); loopteststate = 0;
//
// Asks first ("test loop ? (adjust gain)"), measures the room, sets testgain, and
// puts back gain, play and the engine's input and output modes as it ends.
// User-interface thread; the devices must be open (it listens through them).
#pragma once

void looptest();
