#include "runtime/byte_copier.h"

#include "runtime/error.h"

#include <algorithm>

#ifdef __linux__
#include <cerrno>
#include <unistd.h>
#endif

namespace runtime {

void ByteCopier::copy(File& from, File& to, std::uint64_t count,
                      const std::function<void()>& afterChunk) {
    const bool kernel = count >= kernelCopyThreshold && !to.inMemory();
    while (count > 0) {
        const auto want = static_cast<std::size_t>(std::min(count, chunkSize));
        std::size_t done = 0;
        while (done < want) {
            const std::size_t moved = copyChunk(from, to, want - done, kernel);
            if (moved == 0) {
                throw Error(ErrorNumber::InputPastEnd, from.path());
            }
            done += moved;
        }
        count -= want;
        if (afterChunk) {
            afterChunk();
        }
    }
}

std::size_t ByteCopier::copyChunk(File& from, File& to, std::size_t size, bool kernel) {
#ifdef __linux__
    if (kernelCopy_ && kernel) {
        for (;;) {
            const ssize_t moved = ::copy_file_range(from.nativeHandle(), nullptr, to.nativeHandle(),
                                                    nullptr, size, 0);
            if (moved > 0) {
                return static_cast<std::size_t>(moved);
            }
            if (moved == 0) {
                // Either the true end of the source or a file system that reports 0
                // instead of failing (some network and virtual ones): let read() decide.
                break;
            }
            if (errno == EINTR) {
                continue;
            }
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                errno == EBADF || errno == ETXTBSY || errno == EPERM) {
                kernelCopy_ = false;
                break;
            }
            const int code = errno;
            // ENOSPC, EFBIG and EIO concern the written file; anything else we
            // blame on it too, since the source was opened and read fine before.
            throwSystemError(code, to.path());
        }
    }
#else
    (void)kernel;
#endif
    return bufferedChunk(from, to, size);
}

std::size_t ByteCopier::bufferedChunk(File& from, File& to, std::size_t size) {
    if (!buffer_) {
        buffer_.reset(new (bufferAlignment) char[bufferSize]);
    }
    const std::size_t got = from.read(buffer_.get(), std::min(size, bufferSize));
    to.writeAll(buffer_.get(), got);
    return got;
}

} // namespace runtime
