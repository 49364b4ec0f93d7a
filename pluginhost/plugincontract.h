// plugincontract.h: the calling contract between roomcaster_quarn and its plug-ins.
//
// A plug-in module exports, as plain undecorated symbols:
//   int   plugininit(void);     host main thread, once, right after loading;
//                               current directory = the slot's plug-in folder
//   int   pluginmain(void);     a thread the host starts for the slot: runs the
//                               plug-in's window until closed or pluginclose()
//   float pluginproc(float);    audio thread, once per sample (L, R, L, R ...)
//   int   pluginclose(void);    host main thread: ask pluginmain to return soon
// and, offered by ringout only (never called by the host):
//   int   startpluginmain(void); int closepluginmain(void); float mypluginproc(float*);
//
// Only these values cross: no memory, string or handle. Integer results are ignored.
// Samples are 32-bit floats on the 16-bit scale; a plug-in must accept any finite value.
// This header is portable: it never includes <windows.h>.
#pragma once

#if defined(_WIN32)
#define QUARN_PLUGINCALL __stdcall
#define QUARN_PLUGINEXPORT extern "C" __declspec(dllexport)
#else
#define QUARN_PLUGINCALL
#define QUARN_PLUGINEXPORT extern "C" __attribute__((visibility("default")))
#endif

typedef int(QUARN_PLUGINCALL *plugininit_fn)(void);
typedef int(QUARN_PLUGINCALL *pluginmain_fn)(void);
typedef float(QUARN_PLUGINCALL *pluginproc_fn)(float sample);
typedef int(QUARN_PLUGINCALL *pluginclose_fn)(void);
typedef int(QUARN_PLUGINCALL *startpluginmain_fn)(void);
typedef int(QUARN_PLUGINCALL *closepluginmain_fn)(void);
typedef float(QUARN_PLUGINCALL *mypluginproc_fn)(float *sample);
