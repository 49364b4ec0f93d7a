// faultcatcher.cpp: the Win32 fault catcher that pluginhost/pluginguard.h runs plug-ins in.
// Threads: guardedrun runs on whichever thread calls a plug-in (the audio thread
// for pluginproc, the main thread for plugininit); the vectored handler runs on
// the faulting thread.
//
// How a fault comes back: guardedrun takes a recovery point (__builtin_setjmp: a
// few register stores, no system call) and records it with its thread. A fault
// on that thread reaches the vectored handler first, which points the thread's
// context at recoverfault on a stack well above the fault (the faulting stack may
// be exhausted) and continues; recoverfault jumps to the recovery point, and
// guardedrun returns the fault's code. Nothing between the recovery point and
// the fault runs any destructor: the guarded body must hold no resources.
#include <windows.h>

#include <malloc.h>
#include <xmmintrin.h>

#include <atomic>

#include "pluginhost/pluginguard.h"
#include "pluginhost/pluginfaults.h"

namespace {

struct GuardFrame {
  void *jump[5];          // __builtin_setjmp's buffer
  void *thread;           // the owning thread's TEB
  uintptr_t stack;        // stack pointer at the recovery point
  unsigned int mxcsr;     // SSE control at the recovery point (a plug-in may have changed it)
  uint16_t fpucontrol;    // x87 control word, likewise
  volatile uint32_t code; // the caught fault's code, 0 while none
};

// Frames in use, one per thread inside guardedrun; claimed and released without a lock.
constexpr int guardframes = 8;
std::atomic<GuardFrame *> active[guardframes];

bool isfault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_STACK_CHECK:
    case STATUS_FLOAT_MULTIPLE_FAULTS:
    case STATUS_FLOAT_MULTIPLE_TRAPS:
      return true;
    default:
      return false;
  }
}

// This thread's environment block: one register read, no system call.
inline void *thisthread() {
  void *teb;
  asm("mov %%gs:0x30, %0" : "=r"(teb));
  return teb;
}

[[noreturn]] void recoverfault(GuardFrame *frame) { __builtin_longjmp(frame->jump, 1); }

LONG CALLBACK onexception(EXCEPTION_POINTERS *info) {
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  if (!isfault(code)) return EXCEPTION_CONTINUE_SEARCH;
  void *thread = thisthread();
  for (auto &slot : active) {
    GuardFrame *frame = slot.load(std::memory_order_acquire);
    if (!frame || frame->thread != thread) continue;
    frame->code = code;
    CONTEXT *c = info->ContextRecord;
    // Enter recoverfault as if called: 16-byte aligned minus the return address,
    // below the recovery point's own frame and its home space.
    c->Rsp = ((frame->stack - 256) & ~uintptr_t{15}) - 8;
    c->Rip = reinterpret_cast<DWORD64>(&recoverfault);
    c->Rcx = reinterpret_cast<DWORD64>(frame);
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

int claimframe(GuardFrame *frame) {
  for (int i = 0; i < guardframes; ++i) {
    GuardFrame *none = nullptr;
    if (active[i].compare_exchange_strong(none, frame, std::memory_order_acq_rel)) return i;
  }
  return -1;
}

__attribute__((noinline)) uint32_t guardedrun(void (*body)(void *), void *context) {
  GuardFrame frame;
  frame.thread = thisthread();
  frame.code = 0;
  frame.mxcsr = _mm_getcsr();
  asm volatile("fnstcw %0" : "=m"(frame.fpucontrol));
  const int claimed = claimframe(&frame);
  if (claimed < 0) {  // more threads inside plug-ins at once than frames: unguarded
    body(context);
    return 0;
  }
  if (__builtin_setjmp(frame.jump) == 0) {
    uintptr_t sp;
    asm volatile("mov %%rsp, %0" : "=r"(sp));
    frame.stack = sp;
    body(context);
  } else {
    _mm_setcsr(frame.mxcsr);
    asm volatile("fninit; fldcw %0" : : "m"(frame.fpucontrol));
    // The overflow used up the stack's guard page; put it back so a later
    // overflow is caught again instead of ending the process.
    if (frame.code == EXCEPTION_STACK_OVERFLOW) _resetstkoflw();
  }
  active[claimed].store(nullptr, std::memory_order_release);
  return frame.code;
}

void callint(void *context) { (*static_cast<plugininit_fn *>(context))(); }

}  // namespace

void installpluginguard() {
  static std::atomic<bool> installed{false};
  if (installed.exchange(true)) return;
  AddVectoredExceptionHandler(1, onexception);
  pluginguard.run = guardedrun;
}

uint32_t guardedcall(plugininit_fn call) {
  installpluginguard();
  return guardedrun(callint, &call);
}
