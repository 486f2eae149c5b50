// Sleep sleeps the full time even when a signal interrupts it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>

#include <chrono>

#include "windows_api.h"

namespace {

void ignore_alarm(int) {}

TEST(Sleep, SleepsTheFullTimeThroughASignal) {
  struct sigaction action = {};
  action.sa_handler = ignore_alarm;  // no SA_RESTART: the signal cuts nanosleep short
  struct sigaction saved;
  ASSERT_EQ(0, sigaction(SIGALRM, &action, &saved));
  itimerval timer = {};
  timer.it_value.tv_usec = 50000;
  ASSERT_EQ(0, setitimer(ITIMER_REAL, &timer, nullptr));
  auto started = std::chrono::steady_clock::now();
  Sleep(300);
  auto elapsed = std::chrono::steady_clock::now() - started;
  sigaction(SIGALRM, &saved, nullptr);
  EXPECT_GE(elapsed, std::chrono::milliseconds(300));
}

}  // namespace
