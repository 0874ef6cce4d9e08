#pragma once

#include "runtime/file.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <new>

namespace runtime {

// Copies byte ranges from one open file to another at each file's current position,
// in the kernel where the platform allows it, otherwise through one fixed buffer.
// Memory use does not depend on how many bytes are copied.
class ByteCopier {
public:
    // Small enough that what one read brings in is still in the core's cache when it is
    // written out: measured, a 512000-byte write cost twice per byte what 128 KiB writes did.
    static constexpr std::size_t bufferSize = 128 << 10;
    // The most bytes moved between two calls of the progress callback.
    // Small enough that one chunk stays well under the 50 ms a window may go without events
    // even when writeback slows the disk (2 MiB chunks were seen to take 66 ms).
    static constexpr std::uint64_t chunkSize = 512u << 10;
    // Measured on Linux: 500 KB pieces split a few percent faster through the kernel
    // copy than through the buffer, 32 KiB pieces alike either way. Not used for files
    // in memory, where the buffer was faster.
    static constexpr std::uint64_t kernelCopyThreshold = 256u << 10;

    // allowKernelCopy = false forces the buffered path (where the kernel copy would do).
    explicit ByteCopier(bool allowKernelCopy = true) : kernelCopy_(allowKernelCopy) {}

    // Copies exactly count bytes; throws Error(InputPastEnd) when `from` ends first.
    // afterChunk runs after every chunk with the bytes copied so far, so a host can keep
    // its window live and show how far the copy is.
    void copy(File& from, File& to, std::uint64_t count,
              const std::function<void(std::uint64_t)>& afterChunk = {});

    bool usesKernelCopy() const noexcept { return kernelCopy_; }

private:
    // Returns the bytes moved (0 at the end of `from`); falls back to the buffer when
    // the kernel copy is not available for these files.
    std::size_t copyChunk(File& from, File& to, std::size_t size, bool kernel);
    std::size_t bufferedChunk(File& from, File& to, std::size_t size);

    bool kernelCopy_;
    // Page-aligned like the page cache it is copied to and from, as GNU's tools do, so
    // the kernel's copies run on whole, equally aligned pages.
    static constexpr std::align_val_t bufferAlignment{4096};
    struct AlignedDelete {
        void operator()(char* buffer) const noexcept {
            ::operator delete[](buffer, bufferAlignment);
        }
    };
    std::unique_ptr<char[], AlignedDelete> buffer_;
};

} // namespace runtime
