#include "engine/merge_recovery.h"

#include "engine/par2_reader.h"
#include "engine/recovery_files.h"
#include "runtime/ascii_case.h"
#include "runtime/path.h"

#include <algorithm>

namespace engine {

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

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
        const std::string& name = entry.name;
        if (!entry.regular || !endsWith(name, ".par2") || name.find(".vol") != std::string::npos) {
            continue;
        }
        const std::string target = name.substr(0, name.size() - 5);
        bool ours = script && stemOf(target) == stemOf(picked);
        if (!ours) {
            const auto read = par2::readRecoveryFiles(files, {folder + name}, 0);
            ours = read && std::any_of(read->set.files.begin(), read->set.files.end(),
                                       [&](const par2::InputFile& file) {
                                           return runtime::namesEqual(file.name, picked);
                                       });
        }
        if (!ours) {
            continue;
        }
        std::vector<std::string> found{folder + name};
        for (const auto& other : listing) {
            if (other.regular && other.name.rfind(target + ".vol", 0) == 0 &&
                endsWith(other.name, ".par2")) {
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
