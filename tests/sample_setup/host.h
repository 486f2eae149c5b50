// What the sample setup program can tell about the process it runs in.
#pragma once

#include <cstddef>

// Writes "cwd: <folder>" and "descriptors: <list>" lines into `out`.
void describe_process(char* out, size_t size);
