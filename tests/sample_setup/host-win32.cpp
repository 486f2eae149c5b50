#include <windows.h>

#include <cstdio>

#include "host.h"

void describe_process(char* out, size_t size) {
  char cwd[MAX_PATH];
  DWORD n = GetCurrentDirectoryA(sizeof cwd, cwd);
  // Windows offers no plain list of a process's handles to print here.
  std::snprintf(out, size, "cwd: %s\ndescriptors: unknown\n",
                (n > 0 && n < sizeof cwd) ? cwd : "?");
}
