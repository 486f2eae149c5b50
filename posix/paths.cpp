// Windows paths on the host, by the drive convention Wine uses:
// "X:\rest" is $WINEPREFIX/dosdevices/x:/rest.
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "layer.h"

// Appends "/" and `name` to the host path in `out` of length `*length`;
// false when it does not fit.
static bool append_component(char* out, size_t size, size_t* length, const char* name,
                             size_t name_length) {
  if (*length + 1 + name_length + 1 > size) return false;
  out[(*length)++] = '/';
  std::memcpy(out + *length, name, name_length);
  *length += name_length;
  out[*length] = '\0';
  return true;
}

int find_in_folder(const char* folder, const char* name, char* out, size_t size) {
  size_t length = std::strlen(folder);
  if (length + 1 > size) return -1;
  std::memmove(out, folder, length + 1);
  if (!append_component(out, size, &length, name, std::strlen(name))) return -1;
  struct stat st;
  if (lstat(out, &st) == 0) return 1;
  DIR* dir = opendir(folder);
  if (dir == nullptr) return 0;
  int found = 0;
  while (struct dirent* entry = readdir(dir)) {
    if (strcasecmp(entry->d_name, name) == 0) {
      std::memcpy(out + length - std::strlen(name), entry->d_name, std::strlen(name));
      found = 1;
      break;
    }
  }
  closedir(dir);
  return found;
}

// Whether `c` separates path components in a Windows path.
static bool is_separator(char c) {
  return c == '\\' || c == '/';
}

DWORD map_windows_path(const char* path, char* out, size_t size) {
  if (path == nullptr || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':') {
    return ERROR_PATH_NOT_FOUND;
  }
  const char* prefix = std::getenv("WINEPREFIX");
  const char* home = std::getenv("HOME");
  int written;
  char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
  if (prefix != nullptr && prefix[0] != '\0') {
    written = std::snprintf(out, size, "%s/dosdevices/%c:", prefix, drive);
  } else {
    written = std::snprintf(out, size, "%s/.wine/dosdevices/%c:", home ? home : "", drive);
  }
  if (written < 0 || static_cast<size_t>(written) >= size) return ERROR_FILENAME_EXCED_RANGE;
  size_t root_length = static_cast<size_t>(written);
  size_t length = root_length;
  const char* p = path + 2;
  // Room for one component (the host's NAME_MAX) plus its terminator.
  char component[256];
  char candidate[4096];
  while (*p != '\0') {
    while (is_separator(*p)) ++p;
    const char* start = p;
    while (*p != '\0' && !is_separator(*p)) ++p;
    size_t n = static_cast<size_t>(p - start);
    if (n == 0 || (n == 1 && start[0] == '.')) continue;
    if (n == 2 && start[0] == '.' && start[1] == '.') {
      while (length > root_length && out[length - 1] != '/') --length;
      if (length > root_length) --length;
      out[length] = '\0';
      continue;
    }
    if (n >= sizeof component) return ERROR_FILENAME_EXCED_RANGE;
    std::memcpy(component, start, n);
    component[n] = '\0';
    int found = find_in_folder(out, component, candidate, sizeof candidate);
    if (found < 0) return ERROR_FILENAME_EXCED_RANGE;
    size_t candidate_length = std::strlen(candidate);
    if (candidate_length + 1 > size) return ERROR_FILENAME_EXCED_RANGE;
    std::memcpy(out, candidate, candidate_length + 1);
    length = candidate_length;
  }
  return 0;
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES) {
  char host[4096];
  DWORD code = map_windows_path(path, host, sizeof host);
  if (code != 0) return fail_with(code);
  if (mkdir(host, 0777) != 0) return fail_with(error_from_errno(errno));
  return TRUE;
}
