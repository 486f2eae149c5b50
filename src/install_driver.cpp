#include "install_driver.h"

#include "message.h"
#include "platform.h"
#include "result_log.h"
#include "setup_launcher.h"

const char kSetupCommandLine[] = "setup -s -f2C:\\Torvask\\setup.log";

static const char kProductDirectory[] = "c:\\torvask";

// Creates the product directory, or accepts that it exists. Returns 0, or
// prints the failure and returns the platform's error code.
static int ensure_product_directory() {
  if (CreateDirectoryA(kProductDirectory, nullptr)) return 0;
  // Read the code once, before printing: the output routine may change it.
  int code = last_error_as_result();
  if (code == static_cast<int>(ERROR_ALREADY_EXISTS)) return 0;
  say("Error while creating C:\\Torvask.\n");
  return code;
}

int run_installation(int, char**, char**) {
  say("Starting unattended installation.\n");
  int code = ensure_product_directory();
  if (code == 0) code = arm_result_log();
  if (code == 0) code = launch_and_wait(kSetupCommandLine);
  if (code == 0) code = wait_for_result();
  if (code == 0) {
    say("Installation succeeded.\n");
  } else {
    say("Installation failed %d.\n", code);
  }
  return code;
}
