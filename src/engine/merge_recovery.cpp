#include "engine/merge_recovery.h"

#include "engine/par2_reader.h"
#include "engine/recovery_files.h"
#include "runtime/ascii_case.h"
#include "runtime/path.h"

#include <algorithm>

namespace engine {

namespace {

std::string stemOf(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

} // namespace

std::vector<std::string> recoveryFilesFor(FileOpener& files, const std::string& folder,
                                          const std::string& picked,
                                          const std::vector<runtime::FolderEntry>& listing) {
    const bool script = runtime::endsWithIgnoringAsciiCase(picked, ".bat");
    for (const auto& entry : listing) {
        const auto index = recoveryNameOf(entry.name);
        if (!entry.regular || !index || !index->index) {
            continue;
        }
        bool ours = script && stemOf(index->target) == stemOf(picked);
        if (!ours) {
            const auto read = par2::readRecoveryFiles(files, {folder + entry.name}, 0);
            ours = read && std::any_of(read->set.files.begin(), read->set.files.end(),
                                       [&](const par2::InputFile& file) {
                                           return runtime::namesEqual(file.name, picked);
                                       });
        }
        if (!ours) {
            continue;
        }
        std::vector<std::string> found{folder + entry.name};
        for (const auto& other : listing) {
            const auto volume = recoveryNameOf(other.name);
            if (other.regular && volume && !volume->index &&
                runtime::namesEqual(volume->target, index->target)) {
                found.push_back(folder + other.name);
            }
        }
        return found;
    }
    return {};
}

std::optional<RepairResult> repairFromRecoveryFiles(FileOpener& files, const std::string& folder,
                                                    const std::vector<std::string>& recoveryFiles,
                                                    std::uint32_t permissions, Host& host) {
    auto read = par2::readRecoveryFiles(files, recoveryFiles, recoveryMemory);
    if (!read) {
        return std::nullopt;
    }
    return repairSet(files, folder, std::move(*read), permissions, [&] { host.pumpEvents(); });
}

} // namespace engine
