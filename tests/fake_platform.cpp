#include "fake_platform.h"

#include <cstdio>
#include <cstring>

FakePlatform g_fake;

const HANDLE kFakeProcess = reinterpret_cast<HANDLE>(0x100);
const HANDLE kFakeThread = reinterpret_cast<HANDLE>(0x200);

void reset_fake() {
  g_fake = FakePlatform();
}

// "null" for a null string, else the string itself.
static std::string text(const char* s) {
  return s ? s : "null";
}

// The name of a handle the fake handed out.
static std::string handle_name(HANDLE h) {
  if (h == kFakeProcess) return "process";
  if (h == kFakeThread) return "thread";
  return "unknown";
}

// Records a failure code as the last error and returns FALSE, as the platform does.
static BOOL fail(DWORD code) {
  if (!g_fake.failures_leave_no_code) g_fake.last_error = code;
  return FALSE;
}

DWORD GetLastError() {
  g_fake.calls.push_back("GetLastError()");
  DWORD code = g_fake.last_error;
  g_fake.last_error = g_fake.last_error_after_read;
  return code;
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security) {
  g_fake.calls.push_back("CreateDirectoryA(" + text(path) + ", " +
                         (security ? "attributes" : "null") + ")");
  return g_fake.create_directory_error ? fail(g_fake.create_directory_error) : TRUE;
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
  g_fake.calls.push_back("WritePrivateProfileStringA(" + text(section) + ", " + text(key) + ", " +
                         text(value) + ", " + text(file) + ")");
  return g_fake.write_error ? fail(g_fake.write_error) : TRUE;
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int default_value, LPCSTR file) {
  g_fake.calls.push_back("GetPrivateProfileIntA(" + text(section) + ", " + text(key) + ", " +
                         std::to_string(default_value) + ", " + text(file) + ")");
  if (g_fake.next_read < g_fake.reads.size()) {
    return static_cast<UINT>(g_fake.reads[g_fake.next_read++]);
  }
  return static_cast<UINT>(default_value);
}

void Sleep(DWORD milliseconds) {
  g_fake.calls.push_back("Sleep(" + std::to_string(milliseconds) + ")");
}

BOOL CreateProcessA(LPCSTR application_name, LPSTR command_line,
                    LPSECURITY_ATTRIBUTES process_attributes,
                    LPSECURITY_ATTRIBUTES thread_attributes, BOOL inherit_handles,
                    DWORD creation_flags, LPVOID environment, LPCSTR current_directory,
                    LPSTARTUPINFOA startup, LPPROCESS_INFORMATION info) {
  // The start-up record must ask for nothing: only its size is set.
  STARTUPINFOA clean;
  std::memset(&clean, 0, sizeof clean);
  clean.cb = sizeof clean;
  bool startup_clean = startup && std::memcmp(startup, &clean, sizeof clean) == 0;
  char flags[16];
  std::snprintf(flags, sizeof flags, "0x%x", static_cast<unsigned>(creation_flags));
  g_fake.calls.push_back("CreateProcessA(" + text(application_name) + ", " + text(command_line) +
                         ", " + (process_attributes ? "attributes" : "null") + ", " +
                         (thread_attributes ? "attributes" : "null") +
                         ", inherit=" + std::to_string(inherit_handles) + ", " + flags + ", " +
                         (environment ? "environment" : "null") + ", " + text(current_directory) +
                         ", " + (startup_clean ? "startup cb only" : "startup NOT clean") + ")");
  if (g_fake.create_process_error) return fail(g_fake.create_process_error);
  info->hProcess = kFakeProcess;
  info->hThread = kFakeThread;
  info->dwProcessId = 4242;
  info->dwThreadId = 4243;
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  g_fake.calls.push_back(
      "WaitForSingleObject(" + handle_name(handle) + ", " +
      (milliseconds == INFINITE ? std::string("INFINITE") : std::to_string(milliseconds)) + ")");
  return WAIT_OBJECT_0;
}

BOOL CloseHandle(HANDLE handle) {
  g_fake.calls.push_back("CloseHandle(" + handle_name(handle) + ")");
  return TRUE;
}
