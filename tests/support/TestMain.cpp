#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Wine answers an unhandled fault by starting its debugger, which waits for ever: the run would
// hang until ctest's time-out and lose the output. End the process at once and say where.
LONG WINAPI EndOnUnhandledFault(EXCEPTION_POINTERS* info) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::fprintf(stderr, "\nunhandled exception 0x%08lx at %p in %s.%s\n",
               info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress,
               test ? test->test_suite_name() : "?", test ? test->name() : "?");
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
  // Tests report failures themselves; a crash must not wait on a Windows error dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(EndOnUnhandledFault);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
