#include "crash_report.h"

#include <windows.h>

#include <cstdio>

namespace korvex::wine {

namespace {

LONG WINAPI reportAndEnd(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  std::fprintf(stderr, "unhandled exception 0x%08lX at %p in thread %lu\n", record.ExceptionCode,
               record.ExceptionAddress, GetCurrentThreadId());
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), record.ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void endOnUnhandledException() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(&reportAndEnd);
}

}  // namespace korvex::wine
