// The few Windows kernel services this program uses, declared for the POSIX
// build. Types have the widths they have in a 32-bit Windows program where it
// matters (DWORD, UINT, BOOL); handles stay pointer-sized.
#pragma once

#include <cstdint>

typedef int BOOL;
typedef std::uint32_t DWORD;
typedef std::uint16_t WORD;
typedef unsigned int UINT;
typedef unsigned char BYTE;
typedef void* HANDLE;
typedef void* LPVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef BYTE* LPBYTE;

#define TRUE 1
#define FALSE 0
#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_FAILED 0xFFFFFFFFu
#define DETACHED_PROCESS 0x00000008u
#define CREATE_NEW_CONSOLE 0x00000010u
#define NORMAL_PRIORITY_CLASS 0x00000020u

#define ERROR_SUCCESS 0u
#define ERROR_FILE_NOT_FOUND 2u
#define ERROR_PATH_NOT_FOUND 3u
#define ERROR_TOO_MANY_OPEN_FILES 4u
#define ERROR_ACCESS_DENIED 5u
#define ERROR_INVALID_HANDLE 6u
#define ERROR_NOT_ENOUGH_MEMORY 8u
#define ERROR_WRITE_PROTECT 19u
#define ERROR_GEN_FAILURE 31u
#define ERROR_SHARING_VIOLATION 32u
#define ERROR_INVALID_PARAMETER 87u
#define ERROR_DISK_FULL 112u
#define ERROR_BAD_EXE_FORMAT 193u
#define ERROR_FILENAME_EXCED_RANGE 206u
#define ERROR_ALREADY_EXISTS 183u
#define ERROR_TIMEOUT 1460u

struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

// Asks the new process for its window, title and standard handles; all zero
// means "the defaults".
struct STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
};
typedef STARTUPINFOA* LPSTARTUPINFOA;

// Filled in by CreateProcessA with the new process's handles and ids.
struct PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
};
typedef PROCESS_INFORMATION* LPPROCESS_INFORMATION;

// The calling thread's last error code, as set by the last failing call.
DWORD GetLastError();
// Sets the calling thread's last error code.
void SetLastError(DWORD code);

// Creates the directory named by the last component of `path`; nonzero on success.
BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security);

// Sets `key` in `section` of the initialization file `file` to `value`; nonzero on success.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file);
// The integer value of `key` in `section` of `file`, or `default_value` when absent or empty.
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int default_value, LPCSTR file);

// Suspends the calling thread for at least `milliseconds`.
void Sleep(DWORD milliseconds);

// Starts a program from `command_line`, filling `info` with its handles; nonzero on success.
BOOL CreateProcessA(LPCSTR application_name, LPSTR command_line,
                    LPSECURITY_ATTRIBUTES process_attributes,
                    LPSECURITY_ATTRIBUTES thread_attributes, BOOL inherit_handles,
                    DWORD creation_flags, LPVOID environment, LPCSTR current_directory,
                    LPSTARTUPINFOA startup_info, LPPROCESS_INFORMATION info);
// Waits until the process behind `handle` has ended; WAIT_OBJECT_0 or WAIT_FAILED.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// Releases `handle`; nonzero on success, FALSE with ERROR_INVALID_HANDLE if unknown.
BOOL CloseHandle(HANDLE handle);
