// The program a "when a program ends" task waits for in the end-to-end test:
//   watched STOPFILE   runs until the file STOPFILE exists, then ends with code 0
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2)
    return 2;
  while (GetFileAttributesW(argv[1]) == INVALID_FILE_ATTRIBUTES)
    Sleep(100);
  return 0;
}
