// Command lines and program search as the platform does them, exposed for tests.
#pragma once

#include <cstddef>

#include "windows_api.h"

// Splits `line` into at most `max_args` arguments by the platform's rules: the
// first word ends at a blank unless quoted; later words treat quotes,
// backslashes before quotes and "" inside quotes as the C runtime does. The
// words are stored in `storage`. Returns 0, or ERROR_INVALID_PARAMETER when
// they do not fit.
DWORD split_command_line(const char* line, char* storage, size_t storage_size, char** argv,
                         int max_args, int* argc);

// Finds the program that a command line's first word names, appending ".exe"
// to a name without extension, and searching the running executable's folder,
// the current folder, C:\windows\system32, C:\windows and then $PATH. Writes
// its host path to `out`. Returns 0, ERROR_FILE_NOT_FOUND, or
// ERROR_ACCESS_DENIED for a file found but not executable.
DWORD find_program(const char* name, char* out, size_t size);
