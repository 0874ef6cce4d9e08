#pragma once

#include "engine/file_opener.h"
#include "engine/host.h"
#include "engine/recovery_repair.h"
#include "runtime/file.h"

#include <optional>
#include <string>
#include <vector>

namespace engine {

// The recovery files in a folder that stand for the set a merge was asked for: the index
// NAME.par2 whose set lists `picked`, or whose NAME has the stem of a picked script
// (报告.BAT: 报告.doc.par2), with its volumes NAME.vol….par2. Empty when there are none.
std::vector<std::string> recoveryFilesFor(FileOpener& files, const std::string& folder,
                                          const std::string& picked,
                                          const std::vector<runtime::FolderEntry>& listing);

// Rebuilds what the set's recovery files can; nothing when there are none to read.
std::optional<RepairResult> repairFromRecoveryFiles(FileOpener& files, const std::string& folder,
                                                    const std::vector<std::string>& recoveryFiles,
                                                    std::uint32_t permissions, Host& host);

} // namespace engine
