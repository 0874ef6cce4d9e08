#pragma once

#include "engine/file_opener.h"
#include "engine/par2_reader.h"

#include <functional>
#include <string>
#include <vector>

namespace engine {

// What a repair found and did: the files of the set (by name, in the set's order) that were
// missing or not as described, and whether the recovery slices could rebuild them.
struct RepairResult {
    std::vector<std::string> lost;
    int rebuildable = 0; // how many lost files of this kind the recovery slices could rebuild
    bool rebuilt = false;
};

// Checks every file of the set in `folderPrefix` against its description (length, MD5) and
// rebuilds those missing or damaged from the recovery slices, each written atomically and
// flushed with `permissions`, when there are enough slices. `pump` is called between blocks.
RepairResult repairSet(FileOpener& files, const std::string& folderPrefix,
                       par2::ReadRecoverySet set, std::uint32_t permissions,
                       const std::function<void()>& pump);

} // namespace engine
