// The initialization-file functions over real files, around the text
// routines of ini.cpp. A write goes to a temporary file in the same folder that
// is flushed and renamed over the old one, so a reader sees either the old log
// or the new one, never a torn one, and a crash loses nothing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ini.h"
#include "layer.h"

// A file's whole content, read into memory the platform's side allocates.
struct FileBytes {
  unsigned char* data;
  size_t size;
};

// Reads the regular file at host `path` into `out`; 0, or an errno (EISDIR
// for a folder, so that it reads as "access denied" as on the platform).
static int read_whole_file(const char* path, FileBytes* out, mode_t* mode) {
  out->data = nullptr;
  out->size = 0;
  int fd;
  do fd = open(path, O_RDONLY | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  struct stat st;
  int err = fstat(fd, &st) != 0 ? errno : 0;
  if (err == 0 && !S_ISREG(st.st_mode)) err = S_ISDIR(st.st_mode) ? EISDIR : EACCES;
  if (err != 0) {
    close(fd);
    return err;
  }
  *mode = st.st_mode & 07777;
  // The file may grow while it is read: read until end of file, not st_size.
  size_t capacity = static_cast<size_t>(st.st_size) + 1;
  unsigned char* data = static_cast<unsigned char*>(std::malloc(capacity));
  size_t size = 0;
  if (data == nullptr) err = ENOMEM;
  while (err == 0) {
    if (size == capacity) {
      unsigned char* bigger = static_cast<unsigned char*>(std::realloc(data, capacity * 2));
      if (bigger == nullptr) {
        err = ENOMEM;
        break;
      }
      data = bigger;
      capacity *= 2;
    }
    ssize_t n = read(fd, data + size, capacity - size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) err = errno;
    if (n <= 0) break;
    size += static_cast<size_t>(n);
  }
  close(fd);
  if (err != 0) {
    std::free(data);
    return err;
  }
  out->data = data;
  out->size = size;
  return 0;
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int default_value, LPCSTR file) {
  UINT fallback = static_cast<UINT>(default_value);
  char host[4096];
  if (section == nullptr || key == nullptr || map_windows_path(file, host, sizeof host) != 0) {
    return fallback;
  }
  FileBytes bytes;
  mode_t mode;
  if (read_whole_file(host, &bytes, &mode) != 0) return fallback;
  IniText text;
  ini_text_from_bytes(bytes.data, bytes.size, &text);
  UINT value = ini_read_uint(text, section, key, fallback);
  std::free(bytes.data);
  return value;
}

// Writes all of `size` bytes to the descriptor behind `context`; 0 or an errno.
static int write_all(void* context, const unsigned char* bytes, size_t size) {
  int fd = *static_cast<int*>(context);
  while (size > 0) {
    ssize_t n = write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    bytes += n;
    size -= static_cast<size_t>(n);
  }
  return 0;
}

// Called between flushing the temporary file and renaming it; returns 0 or an
// errno to fail the write there. Tests set it to show that nothing is lost.
int (*g_profile_before_rename)(const char* temporary_path) = nullptr;

// Writes `bytes` with `edit` applied into a new file beside `path` and renames
// it over `path`; 0 or an errno.
static int replace_file(const char* path, const FileBytes& bytes, mode_t mode, const char* section,
                        const char* key, const char* value) {
  IniText text;
  size_t mark = ini_text_from_bytes(bytes.data, bytes.size, &text);
  IniEdit edit = ini_plan_write(text, section, key);
  // The temporary file is ".<name>.XXXXXX" in the log's own folder, so that
  // the rename stays on one file system.
  char folder[4096];
  char temporary[4096 + 16];
  const char* slash = std::strrchr(path, '/');
  size_t folder_length = slash ? static_cast<size_t>(slash - path) : 0;
  if (folder_length + 1 > sizeof folder) return ENAMETOOLONG;
  std::memcpy(folder, slash ? path : ".", slash ? folder_length : 1);
  folder[slash ? folder_length : 1] = '\0';
  const char* name = slash ? slash + 1 : path;
  int written = std::snprintf(temporary, sizeof temporary, "%s/.%s.XXXXXX", folder, name);
  if (written < 0 || static_cast<size_t>(written) >= sizeof temporary) return ENAMETOOLONG;
  int fd = mkostemp(temporary, O_CLOEXEC);
  if (fd < 0) return errno;
  int err = write_all(&fd, bytes.data, mark);
  if (err == 0) err = ini_apply_edit(text, edit, section, key, value, write_all, &fd);
  // An odd byte after the last UTF-16 unit is not text, but it is kept.
  size_t used = mark + text.units * static_cast<size_t>(text.unit_size);
  if (err == 0) err = write_all(&fd, bytes.data + used, bytes.size - used);
  if (err == 0 && fchmod(fd, mode) != 0) err = errno;
  if (err == 0 && fsync(fd) != 0) err = errno;
  if (close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && g_profile_before_rename) err = g_profile_before_rename(temporary);
  if (err == 0 && rename(temporary, path) != 0) err = errno;
  if (err != 0) {
    unlink(temporary);
    return err;
  }
  // Make the rename itself durable.
  int dir = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return 0;
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
  // Deleting entries (a null key or value) is not needed by this program.
  if (section == nullptr || key == nullptr || value == nullptr || file == nullptr) {
    return fail_with(ERROR_INVALID_PARAMETER);
  }
  char host[4096];
  DWORD code = map_windows_path(file, host, sizeof host);
  if (code != 0) return fail_with(code);
  FileBytes bytes;
  mode_t mode = 0;
  int err = read_whole_file(host, &bytes, &mode);
  if (err == ENOENT) {
    // A new file: as readable as the user's file-creation mask allows.
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
    err = 0;
  }
  if (err == 0) err = replace_file(host, bytes, mode, section, key, value);
  std::free(bytes.data);
  if (err != 0) return fail_with(error_from_errno(err));
  return TRUE;
}
