// Helpers shared by the files of the POSIX layer; not part of its interface.
#pragma once

#include <cstddef>

#include "windows_api.h"

// The platform's error code for an errno value.
DWORD error_from_errno(int err);

// Sets the last error to `code` and returns FALSE, for a failing call's return.
BOOL fail_with(DWORD code);

// Maps a Windows path ("C:\dir\file", either separator) to the host path
// under $WINEPREFIX/dosdevices, matching each existing component without
// regard to ASCII case. Returns 0 or a platform error code.
DWORD map_windows_path(const char* path, char* out, size_t size);

// Looks in host `folder` for an entry named `name`, exact spelling first, then
// without regard to ASCII case; writes "folder/entry" to `out`. Returns 1 if
// such an entry exists, 0 if not (and `out` then holds the given spelling),
// -1 if the result does not fit.
int find_in_folder(const char* folder, const char* name, char* out, size_t size);
