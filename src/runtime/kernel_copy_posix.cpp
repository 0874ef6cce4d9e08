#include "runtime/kernel_copy.h"

#include "runtime/error.h"

#include <cerrno>
#include <unistd.h>

namespace runtime {

std::size_t kernelCopy(File& from, File& to, std::size_t size, bool& available) {
    for (;;) {
        const ssize_t moved =
            ::copy_file_range(from.nativeHandle(), nullptr, to.nativeHandle(), nullptr, size, 0);
        if (moved > 0) {
            return static_cast<std::size_t>(moved);
        }
        if (moved == 0) {
            // Either the true end of the source or a file system that reports 0
            // instead of failing (some network and virtual ones): let read() decide.
            return 0;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
            errno == EBADF || errno == ETXTBSY || errno == EPERM) {
            available = false;
            return 0;
        }
        // ENOSPC, EFBIG and EIO concern the written file; anything else we
        // blame on it too, since the source was opened and read fine before.
        throwSystemError(errno, to.path());
    }
}

} // namespace runtime
