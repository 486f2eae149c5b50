#include "install_driver.h"

int main(int argc, char** argv, char** envp) {
  return run_installation(argc, argv, envp);
}
