// guiscanhook.h: "dispatch the user-interface thread's pending window messages once".
//
//   guiscanhook = guiscan;   // a program that links the toolkit, before opening devices
//   runguiscanhook();        // what the device objects call while they close
//
// Closing a device pauses the user-interface thread twice; dispatching the pending
// messages first keeps the windows answering. Without the toolkit the default is a
// plain PeekMessage / DispatchMessage pass over this thread's queue.
// User-interface thread only.
#pragma once

extern void (*guiscanhook)();  // null: do nothing

// Default hook: dispatch every message waiting in this thread's queue, once.
void dispatchpendingmessages();

// Call the hook if one is set.
void runguiscanhook();
