// An unhandled exception in any thread of a test program (say, in code of an
// unloaded DLL) ends the program at once with its code, after one line that
// names it, rather than starting wine's debugger, which outlasts time-outs.
#pragma once

#include <windows.h>

#include <cstdio>

namespace korvex::wine {

inline LONG WINAPI reportAndEnd(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  std::fprintf(stderr, "unhandled exception 0x%08lX at %p in thread %lu\n", record.ExceptionCode,
               record.ExceptionAddress, GetCurrentThreadId());
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), record.ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

inline void endOnUnhandledException() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(&reportAndEnd);
}

}  // namespace korvex::wine
