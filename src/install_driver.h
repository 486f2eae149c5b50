// The course of one unattended installation of the product into C:\Torvask.
#pragma once

// The setup program's command line: silent mode, and where to log its result.
extern const char kSetupCommandLine[];

// Runs one installation: makes sure C:\Torvask exists, arms the result log,
// runs setup and waits for its recorded result, then prints the outcome.
// Returns the result code (0 for success), which becomes the exit status.
// The arguments and the environment are not read.
int run_installation(int argc, char** argv, char** envp);
