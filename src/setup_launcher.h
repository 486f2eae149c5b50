// Starts the product's setup program and waits for its process to end.
#pragma once

// The result of a setup program that could not be started.
const int kLaunchFailed = 100;

// Starts `command_line` in a new console and blocks until that process has
// ended. Returns 0, or prints the failure and returns kLaunchFailed. The
// program's exit status is not read: its outcome arrives through the log.
int launch_and_wait(const char* command_line);
