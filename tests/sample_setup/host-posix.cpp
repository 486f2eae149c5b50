#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "host.h"

// Appends printf-formatted text to `out`, which holds `*used` of `size` bytes.
static void append(char* out, size_t size, size_t* used, const char* format, int number,
                   const char* text) {
  if (*used >= size) return;
  int n = text ? std::snprintf(out + *used, size - *used, format, text)
               : std::snprintf(out + *used, size - *used, format, number);
  if (n > 0) *used += static_cast<size_t>(n);
}

void describe_process(char* out, size_t size) {
  char cwd[4096];
  size_t used = 0;
  out[0] = '\0';
  append(out, size, &used, "cwd: %s\ndescriptors:", 0, getcwd(cwd, sizeof cwd) ? cwd : "?");
  DIR* dir = opendir("/proc/self/fd");
  if (dir != nullptr) {
    int own = dirfd(dir);
    while (dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      int fd = std::atoi(entry->d_name);
      if (fd != own) append(out, size, &used, " %d", fd, nullptr);
    }
    closedir(dir);
  }
  append(out, size, &used, "%s", 0, "\n");
}
