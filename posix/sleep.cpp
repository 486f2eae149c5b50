#include <cerrno>
#include <ctime>

#include "windows_api.h"

void Sleep(DWORD milliseconds) {
  timespec remaining;
  remaining.tv_sec = static_cast<time_t>(milliseconds / 1000);
  remaining.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
  // A signal cuts nanosleep short; sleep the rest, so the full time passes.
  while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}
