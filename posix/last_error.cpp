// The thread's last error and the errno values it is made from.
#include <cerrno>

#include "layer.h"

static thread_local DWORD t_last_error = 0;

DWORD GetLastError() {
  return t_last_error;
}

void SetLastError(DWORD code) {
  t_last_error = code;
}

BOOL fail_with(DWORD code) {
  t_last_error = code;
  return FALSE;
}

DWORD error_from_errno(int err) {
  struct Mapping {
    int err;
    DWORD code;
  };
  static const Mapping kTable[] = {
      {EEXIST, ERROR_ALREADY_EXISTS},
      {ENOENT, ERROR_PATH_NOT_FOUND},
      {ENOTDIR, ERROR_PATH_NOT_FOUND},
      {ELOOP, ERROR_PATH_NOT_FOUND},
      {EACCES, ERROR_ACCESS_DENIED},
      {EPERM, ERROR_ACCESS_DENIED},
      {EISDIR, ERROR_ACCESS_DENIED},
      {EROFS, ERROR_WRITE_PROTECT},
      {ENOSPC, ERROR_DISK_FULL},
      {EDQUOT, ERROR_DISK_FULL},
      {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
      {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
      {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
      {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
      {ETXTBSY, ERROR_SHARING_VIOLATION},
      {EBUSY, ERROR_SHARING_VIOLATION},
      {EBADF, ERROR_INVALID_HANDLE},
      {EINVAL, ERROR_INVALID_PARAMETER},
      {ENOEXEC, ERROR_BAD_EXE_FORMAT},
  };
  for (const Mapping& m : kTable) {
    if (m.err == err) return m.code;
  }
  // Anything else (EIO, ENXIO, ...) is a device-level failure.
  return ERROR_GEN_FAILURE;
}
