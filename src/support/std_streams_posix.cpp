#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "support/std_streams.h"

namespace quorvex {
namespace {

bool closedAtStart[3] = {false, false, false};

}  // namespace

void GuardStandardStreams() {
    for (int fd = 0; fd < 3; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        closedAtStart[fd] = true;
        // The lowest free descriptor is this one, as those below are open.
        const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null < 0) ::_exit(127);  // no safe place to say so
        if (null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
}

bool StandardStreamWasClosed(int fd) {
    return fd >= 0 && fd < 3 && closedAtStart[fd];
}

}  // namespace quorvex
