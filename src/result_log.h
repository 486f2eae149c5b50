// The setup result log: the file in which the product's setup program records
// how its installation ended, as the entry ResultCode in section ResponseResult.
#pragma once

// The log's path, handed to the setup program after its "-f2" switch too.
extern const char kResultLogPath[];

// The value that means "no result recorded yet"; never an outcome.
const int kPendingResult = 999;

// How many reads may give the pending value before the wait gives up: one an
// hour, a generous bound for a product whose setup has already ended.
const int kMaxPendingReads = 3600;

// Writes the pending value into the log, creating file and section as needed.
// Returns 0, or prints the failure and returns the platform's error code.
int arm_result_log();

// Sleeps a second before each read until the log holds a value other than the
// pending one and returns it; after kMaxPendingReads pending reads, prints the
// time-out and returns ERROR_TIMEOUT.
int wait_for_result();
