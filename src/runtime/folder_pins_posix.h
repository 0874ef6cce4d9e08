#pragma once
// POSIX only, inside the runtime: folders a run holds open, so that every file call on a
// path in one of them resolves against the folder that was opened (openat, renameat,
// unlinkat), not against whatever its path names by then.

#include <string>

namespace runtime {

// While pinned, paths "folderPrefix + name" resolve through `descriptor`.
void pinFolder(const std::string& folderPrefix, int descriptor);
void unpinFolder(const std::string& folderPrefix) noexcept;

} // namespace runtime
