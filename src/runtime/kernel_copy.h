#pragma once

#include "runtime/file.h"

#include <cstddef>

namespace runtime {

// Asks the kernel to move up to size bytes from one file's position to the other's.
// Returns the bytes moved; 0 means "use read and write for this chunk" (also at the
// end of `from`, which read then tells). Clears `available` when the kernel cannot copy
// between these files at all. Throws Error for a failure of the written file.
std::size_t kernelCopy(File& from, File& to, std::size_t size, bool& available);

} // namespace runtime
