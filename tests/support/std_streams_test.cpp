// Standard streams closed at start-up: filled with the null device before
// any file is opened, and remembered.
#include "support/std_streams.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quorvex {
namespace {

#ifndef _WIN32

// What a child found, one bit per failed expectation; 0 when all held.
int InChild(int (*body)()) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

bool IsNullDevice(int fd) {
    struct stat a, b;
    return ::fstat(fd, &a) == 0 && ::stat("/dev/null", &b) == 0 && a.st_rdev == b.st_rdev &&
           S_ISCHR(a.st_mode);
}

TEST(StandardStreams, ClosedOnesGetTheNullDeviceAndAreRemembered) {
    EXPECT_EQ(InChild([] {
                  ::close(0);
                  ::close(2);
                  GuardStandardStreams();
                  int failed = 0;
                  if (!IsNullDevice(0) || !IsNullDevice(2)) failed |= 1;
                  if (!StandardStreamWasClosed(0) || !StandardStreamWasClosed(2)) failed |= 2;
                  if (StandardStreamWasClosed(1)) failed |= 4;
                  // The next file opened takes a descriptor of its own.
                  const int fd = ::open("/dev/null", O_RDONLY);
                  if (fd < 3) failed |= 8;
                  // Writing to the guarded stream goes nowhere, harmlessly.
                  if (::write(2, "x", 1) != 1) failed |= 16;
                  return failed;
              }),
              0);
    // Only stream 1 closed: the one below it stays what it was.
    EXPECT_EQ(InChild([] {
                  ::close(1);
                  GuardStandardStreams();
                  int failed = 0;
                  if (!IsNullDevice(1) || !StandardStreamWasClosed(1)) failed |= 1;
                  if (StandardStreamWasClosed(0) || StandardStreamWasClosed(2)) failed |= 2;
                  return failed;
              }),
              0);
}

#endif

TEST(StandardStreams, OpenOnesAreLeftAlone) {
    GuardStandardStreams();
    for (int fd = 0; fd < 3; ++fd)
        EXPECT_FALSE(StandardStreamWasClosed(fd)) << fd;
}

}  // namespace
}  // namespace quorvex
