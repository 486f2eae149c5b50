// The program's one output channel: formatted lines on standard output.
#pragma once

// Prints one message with printf formatting and flushes standard output at
// once, so that a tool capturing the output sees every line as it happens.
void say(const char* format, ...) __attribute__((format(printf, 1, 2)));
