// Processes and their handles. A handle is an index into a small table; the
// process and thread handles of one child both stand for its pid.
#include "process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "layer.h"

extern char** environ;

// Whether `c` separates words on a command line.
static bool is_space(char c) {
  return c == ' ' || c == '\t';
}

DWORD split_command_line(const char* line, char* storage, size_t storage_size, char** argv,
                         int max_args, int* argc) {
  size_t used = 0;
  int count = 0;
  const char* p = line;
  // Appends one character to the current word; false when storage is full.
  auto put = [&](char c) {
    if (used >= storage_size) return false;
    storage[used++] = c;
    return true;
  };
  while (is_space(*p)) ++p;
  while (*p != '\0') {
    if (count + 1 >= max_args) return ERROR_INVALID_PARAMETER;
    argv[count++] = storage + used;
    if (count == 1) {
      // The program name: quotes group, backslashes are plain characters.
      bool quoted = false;
      for (; *p != '\0' && (quoted || !is_space(*p)); ++p) {
        if (*p == '"') {
          quoted = !quoted;
        } else if (!put(*p)) {
          return ERROR_INVALID_PARAMETER;
        }
      }
    } else {
      bool quoted = false;
      while (*p != '\0' && (quoted || !is_space(*p))) {
        size_t backslashes = 0;
        while (*p == '\\') {
          ++backslashes;
          ++p;
        }
        if (*p == '"') {
          // 2n backslashes and a quote: n backslashes, and the quote toggles;
          // 2n+1: n backslashes and a literal quote.
          for (size_t i = 0; i < backslashes / 2; ++i) {
            if (!put('\\')) return ERROR_INVALID_PARAMETER;
          }
          if (backslashes % 2 == 1) {
            if (!put('"')) return ERROR_INVALID_PARAMETER;
          } else if (quoted && p[1] == '"') {
            if (!put('"')) return ERROR_INVALID_PARAMETER;
            ++p;
          } else {
            quoted = !quoted;
          }
          ++p;
          continue;
        }
        for (size_t i = 0; i < backslashes; ++i) {
          if (!put('\\')) return ERROR_INVALID_PARAMETER;
        }
        if (*p == '\0' || (!quoted && is_space(*p))) break;
        if (!put(*p++)) return ERROR_INVALID_PARAMETER;
      }
    }
    if (!put('\0')) return ERROR_INVALID_PARAMETER;
    while (is_space(*p)) ++p;
  }
  argv[count] = nullptr;
  *argc = count;
  return 0;
}

// Checks the file at host `path`: 0 if it can be run, ERROR_FILE_NOT_FOUND if
// it is missing or not a regular file, ERROR_ACCESS_DENIED otherwise.
static DWORD check_program(const char* path) {
  struct stat st;
  if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return ERROR_FILE_NOT_FOUND;
  return access(path, X_OK) == 0 ? 0 : ERROR_ACCESS_DENIED;
}

// Looks for `file` in host `folder`; 0 with its path in `out`, or as check_program.
static DWORD look_in(const char* folder, const char* file, char* out, size_t size) {
  if (folder[0] == '\0') folder = ".";
  if (find_in_folder(folder, file, out, size) != 1) return ERROR_FILE_NOT_FOUND;
  return check_program(out);
}

DWORD find_program(const char* name, char* out, size_t size) {
  char file[4096];
  const char* base = name;
  for (const char* p = name; *p; ++p) {
    if (*p == '\\' || *p == '/') base = p + 1;
  }
  bool has_extension = std::strchr(base, '.') != nullptr;
  if (std::snprintf(file, sizeof file, "%s%s", name, has_extension ? "" : ".exe") >=
      static_cast<int>(sizeof file)) {
    return ERROR_FILE_NOT_FOUND;
  }
  if (base != name || std::strchr(name, ':') != nullptr) {
    // A path, not a bare name: no search.
    if (name[0] != '\0' && name[1] == ':') {
      if (map_windows_path(file, out, size) != 0) return ERROR_FILE_NOT_FOUND;
    } else {
      std::snprintf(out, size, "%s", file);
      for (char* p = out; *p; ++p) {
        if (*p == '\\') *p = '/';
      }
    }
    return check_program(out);
  }
  char folder[4096];
  ssize_t n = readlink("/proc/self/exe", folder, sizeof folder - 1);
  if (n > 0) {
    folder[n] = '\0';
    *std::strrchr(folder, '/') = '\0';
    DWORD code = look_in(folder, file, out, size);
    if (code != ERROR_FILE_NOT_FOUND) return code;
  }
  DWORD code = look_in(".", file, out, size);
  if (code != ERROR_FILE_NOT_FOUND) return code;
  static const char* const kSystemFolders[] = {"C:\\windows\\system32", "C:\\windows"};
  for (const char* system : kSystemFolders) {
    if (map_windows_path(system, folder, sizeof folder) != 0) continue;
    code = look_in(folder, file, out, size);
    if (code != ERROR_FILE_NOT_FOUND) return code;
  }
  const char* path = std::getenv("PATH");
  while (path != nullptr && *path != '\0') {
    const char* end = std::strchr(path, ':');
    size_t length = end ? static_cast<size_t>(end - path) : std::strlen(path);
    if (length < sizeof folder) {
      std::memcpy(folder, path, length);
      folder[length] = '\0';
      code = look_in(folder, file, out, size);
      if (code != ERROR_FILE_NOT_FOUND) return code;
    }
    path = end ? end + 1 : nullptr;
  }
  return ERROR_FILE_NOT_FOUND;
}

// One open handle: the pid it stands for, and the child's fate once reaped.
struct HandleSlot {
  bool in_use;
  pid_t pid;
  bool ended;
};

// Sixteen handles: this program holds two at most at any time.
static HandleSlot g_handles[16];

// Takes a free slot for `pid` and returns its handle, or null when all are used.
static HANDLE open_handle(pid_t pid) {
  for (size_t i = 0; i < sizeof g_handles / sizeof g_handles[0]; ++i) {
    if (!g_handles[i].in_use) {
      g_handles[i] = HandleSlot{true, pid, false};
      return reinterpret_cast<HANDLE>(static_cast<uintptr_t>((i + 1) * 4));
    }
  }
  return nullptr;
}

// The slot behind `handle`, or null when it is unknown or closed.
static HandleSlot* slot_of(HANDLE handle) {
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  size_t count = sizeof g_handles / sizeof g_handles[0];
  if (value == 0 || value % 4 != 0 || value / 4 > count) return nullptr;
  HandleSlot* slot = &g_handles[value / 4 - 1];
  return slot->in_use ? slot : nullptr;
}

// Starts `path` as a child that shares nothing with this process but 0-2 (or,
// with `new_console`, /dev/null on 0-2 in a session of its own). Returns 0
// with its pid in `pid`, or the errno of what failed, the exec included.
static int spawn_child(const char* path, char** argv, bool new_console, pid_t* pid) {
  // Unlike fork, posix_spawn neither copies this process's page tables nor
  // makes every page it writes afterwards fault; and it returns a failed
  // exec's errno itself, so no report pipe is needed.
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  int err = posix_spawn_file_actions_init(&actions);
  if (err != 0) return err;
  err = posix_spawnattr_init(&attributes);
  if (err != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return err;
  }
  short flags = POSIX_SPAWN_SETSIGMASK;
  if (new_console) {
    // A console of its own: a new session, with nothing on the caller's terminal.
    flags |= POSIX_SPAWN_SETSID;
    err = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDWR, 0);
    if (err == 0) err = posix_spawn_file_actions_adddup2(&actions, 0, 1);
    if (err == 0) err = posix_spawn_file_actions_adddup2(&actions, 0, 2);
  }
  // Handles are not inherited: nothing beyond 0-2 passes to the program.
  if (err == 0) err = posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  sigset_t none;
  sigemptyset(&none);
  if (err == 0) err = posix_spawnattr_setsigmask(&attributes, &none);
  if (err == 0) err = posix_spawnattr_setflags(&attributes, flags);
  if (err == 0) err = posix_spawn(pid, path, &actions, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return err;
}

BOOL CreateProcessA(LPCSTR application_name, LPSTR command_line, LPSECURITY_ATTRIBUTES,
                    LPSECURITY_ATTRIBUTES, BOOL, DWORD creation_flags, LPVOID environment,
                    LPCSTR current_directory, LPSTARTUPINFOA, LPPROCESS_INFORMATION info) {
  // Only the form this program uses: the program named by the command line,
  // with the caller's environment and current folder.
  if (application_name != nullptr || command_line == nullptr || environment != nullptr ||
      current_directory != nullptr || info == nullptr) {
    return fail_with(ERROR_INVALID_PARAMETER);
  }
  // The platform caps a command line at 32767 characters.
  static char storage[32768];
  static char* argv[256];
  int argc = 0;
  DWORD code = split_command_line(command_line, storage, sizeof storage, argv, 256, &argc);
  if (code != 0) return fail_with(code);
  if (argc == 0) return fail_with(ERROR_FILE_NOT_FOUND);
  char path[4096];
  code = find_program(argv[0], path, sizeof path);
  if (code != 0) return fail_with(code);

  // Both handles are taken before the child exists: a started program must
  // never come back with a null handle.
  int free_slots = 0;
  for (const HandleSlot& slot : g_handles) free_slots += slot.in_use ? 0 : 1;
  if (free_slots < 2) return fail_with(ERROR_TOO_MANY_OPEN_FILES);

  // No console of its own or none at all: either way, apart from the caller's.
  bool own_console = (creation_flags & (CREATE_NEW_CONSOLE | DETACHED_PROCESS)) != 0;
  pid_t pid = 0;
  int err = spawn_child(path, argv, own_console, &pid);
  if (err != 0) return fail_with(error_from_errno(err));
  info->hProcess = open_handle(pid);
  info->hThread = open_handle(pid);
  info->dwProcessId = static_cast<DWORD>(pid);
  info->dwThreadId = static_cast<DWORD>(pid);
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  HandleSlot* slot = slot_of(handle);
  if (slot == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  if (milliseconds != INFINITE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  if (!slot->ended) {
    int status;
    pid_t got;
    do got = waitpid(slot->pid, &status, 0);
    while (got < 0 && errno == EINTR);
    if (got < 0) {
      SetLastError(error_from_errno(errno));
      return WAIT_FAILED;
    }
    // Every handle of this child sees that it has ended.
    for (HandleSlot& other : g_handles) {
      if (other.in_use && other.pid == slot->pid) other.ended = true;
    }
  }
  return WAIT_OBJECT_0;
}

BOOL CloseHandle(HANDLE handle) {
  HandleSlot* slot = slot_of(handle);
  if (slot == nullptr) return fail_with(ERROR_INVALID_HANDLE);
  slot->in_use = false;
  return TRUE;
}
