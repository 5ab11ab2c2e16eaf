#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/CheckingAllocator.h"

void EndTestProcessOnFault(const char* what) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::fprintf(stderr, "\n%s in %s.%s\n", what, test ? test->test_suite_name() : "?",
               test ? test->name() : "?");
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 3);
  std::abort();
}

namespace {

// Wine answers an unhandled fault by starting its debugger, which waits for ever: the run would
// hang until ctest's time-out and lose the output. End the process at once and say where.
LONG WINAPI EndOnUnhandledFault(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* e = info->ExceptionRecord;
  char what[120];
  if (e->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && e->NumberParameters >= 2) {
    std::snprintf(what, sizeof(what), "access violation at %p (%s %p)", e->ExceptionAddress,
                  e->ExceptionInformation[0] ? "writing" : "reading",
                  reinterpret_cast<void*>(e->ExceptionInformation[1]));
  } else {
    std::snprintf(what, sizeof(what), "unhandled exception 0x%08lx at %p", e->ExceptionCode,
                  e->ExceptionAddress);
  }
  EndTestProcessOnFault(what);
}

// Wine, like 64-bit Windows, swallows a fault inside a window procedure that a system call
// runs (DestroyWindow delivering WM_DESTROY, for one): the stack unwinds to the call and the test
// goes on, half torn down. A fault in the test's own code therefore ends the run at first sight.
LONG WINAPI EndOnFaultInOwnCode(EXCEPTION_POINTERS* info) {
  switch (info->ExceptionRecord->ExceptionCode) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_IN_PAGE_ERROR:
      break;
    default:
      return EXCEPTION_CONTINUE_SEARCH;
  }
  static const auto* image = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
  static const DWORD imageSize = [] {
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew)
        ->OptionalHeader.SizeOfImage;
  }();
  auto* at = static_cast<const BYTE*>(info->ExceptionRecord->ExceptionAddress);
  if (at < image || at >= image + imageSize)
    return EXCEPTION_CONTINUE_SEARCH;
  return EndOnUnhandledFault(info);
}

constexpr int kUnfinished = -1;
int testsResult = kUnfinished;

DWORD WINAPI RunTests(void*) {
  testsResult = RUN_ALL_TESTS();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Tests report failures themselves; a crash must not wait on a Windows error dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(EndOnUnhandledFault);
  AddVectoredExceptionHandler(1, EndOnFaultInOwnCode);
  testing::InitGoogleTest(&argc, argv);
  // A stack overflowed to its last page leaves no room for the handlers above: Wine ends the
  // thread, and a process whose main thread ended so exits with 0. The tests run on a thread of
  // their own (with the main thread's stack size) so that such an end is seen and fails the run.
  HANDLE tests = CreateThread(nullptr, 0, RunTests, nullptr, 0, nullptr);
  if (!tests)
    return 2;
  WaitForSingleObject(tests, INFINITE);
  CloseHandle(tests);
  if (testsResult == kUnfinished)
    EndTestProcessOnFault("the test thread ended without finishing (a stack overflow?)");
  return testsResult;
}
