#include "runtime/byte_copier.h"

#include "runtime/error.h"
#include "runtime/kernel_copy.h"

#include <algorithm>

namespace runtime {

void ByteCopier::copy(File& from, File& to, std::uint64_t count,
                      const std::function<void(std::uint64_t)>& afterChunk) {
    const bool kernel = count >= kernelCopyThreshold && from.allowsKernelCopy() &&
                        to.allowsKernelCopy() && !to.inMemory();
    std::uint64_t copied = 0;
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
        copied += want;
        if (afterChunk) {
            afterChunk(copied);
        }
    }
}

std::size_t ByteCopier::copyChunk(File& from, File& to, std::size_t size, bool kernel) {
    if (kernelCopy_ && kernel) {
        const std::size_t moved = kernelCopy(from, to, size, kernelCopy_);
        if (moved > 0) {
            return moved;
        }
    }
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
