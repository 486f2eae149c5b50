#include "message.h"

#include <cstdarg>
#include <cstdio>

#include "platform.h"

void say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  platform_vprintf(format, args);
  va_end(args);
  std::fflush(stdout);
}
