#include "system/std_descriptors.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace gs {

bool holdStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lower descriptors are open, so the lowest free number is this one.
        const int null = open("/dev/null", O_RDONLY);
        if (null < 0) return false;
        if (null != fd) {
            const bool moved = dup2(null, fd) == fd;
            close(null);
            if (!moved) return false;
        }
    }
    return true;
}

} // namespace gs
