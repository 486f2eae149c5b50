#include "setup_launcher.h"

#include <cstring>

#include "message.h"
#include "platform.h"

// The platform defines the start-up record as 68 bytes for 32-bit programs.
static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68,
              "STARTUPINFOA must be 68 bytes in a 32-bit build");

// The one process record of a run; the platform fills it in on a launch.
static PROCESS_INFORMATION g_setup_process;

// CreateProcessA may write into its command line, so it gets a copy. The
// platform caps a command line at 32767 characters; ours is far shorter.
static char g_command_line[1024];

int launch_and_wait(const char* command_line) {
  size_t length = std::strlen(command_line);
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  BOOL started = FALSE;
  if (length < sizeof g_command_line) {
    std::memcpy(g_command_line, command_line, length + 1);
    started = CreateProcessA(nullptr, g_command_line, nullptr, nullptr, FALSE,
                             CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                             &g_setup_process);
  }
  if (!started) {
    say("Error while launching setup.exe.\n");
    return kLaunchFailed;
  }
  // The thread handle is of no use here; the process handle is what ends.
  CloseHandle(g_setup_process.hThread);
  WaitForSingleObject(g_setup_process.hProcess, INFINITE);
  CloseHandle(g_setup_process.hProcess);
  return 0;
}
