// clientthread.h: starting and ending the stream thread of a client device
// object (clientcapture.cpp, clientplayback.cpp). User-interface thread.
#pragma once
#include "engine/devices/clientdevices.h"

// The record's fields cleared, for a device number and the current buffersize.
void clearclientthread(ClientThread &t, int device);
// Starts the stream thread `body` and waits until it reports the stream open
// (true) or failed (false; the thread has ended, or is abandoned).
bool startclientthread(ClientThread &t, DWORD(WINAPI *body)(void *), void *object);
// Stops the flow, wakes the thread, waits for it to close its stream and end.
// A thread that does not end in time is abandoned: its object's memory stays.
void stopclientthread(ClientThread &t);
// Stream thread: the platform's library, the stream opened with room for
// `frames` frames (signalling `event` each period when `periodic`) and
// started, time-critical priority; `ready` set either way.
bool openclientstream(ClientThread &t, bool capture, int frames, bool periodic);
// Stream thread: the stream stopped and closed, the platform's library ended.
void closeclientstream(ClientThread &t);
