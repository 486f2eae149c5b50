// The one place that chooses the platform: the Windows headers in the Windows
// build, the project's POSIX layer everywhere else. The program calls the same
// functions by the same names on both.
#pragma once

#include <cstdarg>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
// The C runtime's own vprintf in msvcrt.dll. The C++ headers route vprintf to
// a second, much larger copy linked into the program.
inline int platform_vprintf(const char* format, va_list args) {
  return __ms_vprintf(format, args);
}
#else
#include "windows_api.h"
// The C library's vprintf.
inline int platform_vprintf(const char* format, va_list args) {
  return std::vprintf(format, args);
}
#endif

// The calling thread's last error as a result code. Never 0, so that a failed
// call can never be mistaken for success even if the platform left no code.
inline int last_error_as_result() {
  DWORD code = GetLastError();
  return code != 0 ? static_cast<int>(code) : static_cast<int>(ERROR_GEN_FAILURE);
}
