#include "engine/set_vouchers.h"

#include "engine/checksum_file.h"
#include "engine/merge_text.h"
#include "engine/par2_reader.h"
#include "engine/recovery_files.h"
#include "runtime/ascii_case.h"
#include "runtime/path.h"

#include <algorithm>

namespace engine {

namespace {

using runtime::ErrorNumber;

// A script is one line, or a few for a long set; a larger file is not one, and is not read
// into memory.
constexpr std::int64_t largestScript = 16 << 20;

bool sameCommand(const MergeCommand& a, const MergeCommand& b) {
    return a.target == b.target && a.sources == b.sources;
}

} // namespace

Folder::Folder(const std::vector<ListedFile>& listing) : listing_(listing) {
    for (const auto& file : listing) {
        byKey_.emplace(runtime::nameKey(file.name), &file);
        byUpperAscii_.emplace(runtime::upperAscii(file.name), &file);
    }
}

const ListedFile* Folder::find(const std::string& name) const {
    const auto found = byKey_.find(runtime::nameKey(name));
    return found == byKey_.end() ? nullptr : found->second;
}

const ListedFile* Folder::findScript(const std::string& scriptName) const {
    const auto found = byUpperAscii_.find(runtime::upperAscii(scriptName));
    return found == byUpperAscii_.end() ? nullptr : found->second;
}

Refusal unreadableReason(const ListedFile& file) {
    if (!file.regular) {
        return refusal(ErrorNumber::NotRegularFile, runtime::describe(ErrorNumber::NotRegularFile),
                       file.name);
    }
    if (file.leadsOut) {
        return refusal(ErrorNumber::NotRegularFile, merge_text::linkElsewhere, file.name);
    }
    return std::nullopt;
}

Result<std::vector<MergeCommand>> readScriptCommands(const ListedFile& script,
                                                     const FileReader& reader,
                                                     const std::string& whenNotOne,
                                                     const Folder& folder) {
    if (const auto refused = unreadableReason(script)) {
        return *refused;
    }
    if (script.size > largestScript) {
        return refusal(ErrorNumber::InvalidArgument,
                       whenNotOne.empty() ? merge_text::scriptTooLarge : whenNotOne, script.name);
    }
    std::string bytes;
    try {
        bytes = reader(script.name);
    } catch (const runtime::Error& error) {
        return refusal(error.number(), error.description());
    }
    std::vector<MergeCommand> allThere;
    std::optional<MergeCommand> likeliest;
    Refusal refused;
    for (const ScriptReading& reading : scriptTextReadings(bytes)) {
        try {
            MergeCommand command = readMergeScript(reading.text);
            command.script = script.name;
            const bool there = std::all_of(command.sources.begin(), command.sources.end(),
                                           [&](const auto& name) { return folder.find(name); });
            const bool known = std::any_of(allThere.begin(), allThere.end(),
                                           [&](const auto& c) { return sameCommand(c, command); });
            if (there && !known) {
                allThere.push_back(command);
            }
            if (!likeliest) {
                likeliest = std::move(command);
            }
        } catch (const runtime::Error& error) {
            if (!refused) {
                refused =
                    refusal(error.number(), whenNotOne.empty() ? error.description() : whenNotOne,
                            script.name);
            }
        }
    }
    if (!allThere.empty()) {
        return allThere;
    }
    if (likeliest) {
        return std::vector<MergeCommand>{*likeliest};
    }
    if (refused) {
        return *refused;
    }
    return refusal(ErrorNumber::InvalidArgument,
                   whenNotOne.empty() ? merge_text::scriptEncodingUnknown : whenNotOne,
                   script.name);
}

SetVouchers::SetVouchers(const Folder& folder, const FileReader& reader) {
    for (const ListedFile& file : folder.listing()) {
        if (unreadableReason(file)) {
            continue;
        }
        Voucher voucher;
        voucher.file = file.name;
        if (runtime::endsWithIgnoringAsciiCase(file.name, ".BAT")) {
            const auto commands = readScriptCommands(file, reader, {}, folder);
            if (!commands) {
                continue;
            }
            // Of several readings, the likeliest speaks for the script here; a tie is the
            // merge's to break.
            voucher.target = commands.value().front().target;
            voucher.pieces = commands.value().front().sources;
            voucher.script = true;
        } else if (file.name.size() > 7 &&
                   runtime::endsWithIgnoringAsciiCase(file.name, ".sha256") &&
                   file.size <= largestChecksumFile) {
            std::optional<SetChecksums> sums;
            try {
                sums = readListBytes(reader(file.name), readChecksums);
            } catch (const runtime::Error&) {
                continue; // perhaps someone else's: it vouches for nothing here
            }
            // Only this program's own file, named after the file it checks, vouches for a
            // set; another tool's list of pieces has no such line.
            if (!sums || !runtime::namesEqual(file.name, checksumFileName(sums->whole.name))) {
                continue;
            }
            voucher.target = sums->whole.name;
            for (const auto& line : sums->pieces) {
                voucher.pieces.push_back(line.name);
            }
        } else if (const auto recovery = recoveryNameOf(file.name);
                   recovery && recovery->index && file.size <= largestChecksumFile) {
            // A recovery set's index (<target>.par2) lists the set's pieces, in its own order.
            std::optional<par2::ReadRecoverySet> read;
            try {
                read = par2::readRecoveryBytes(reader(file.name), 0);
            } catch (const runtime::Error&) {
                continue;
            }
            if (!read || read->set.files.empty()) {
                continue;
            }
            voucher.target = recovery->target;
            for (const par2::InputFile& input : read->set.files) {
                voucher.pieces.push_back(input.name);
            }
            // Numbered names in their numbers' order: the shorter first (x999 before x1000).
            std::sort(voucher.pieces.begin(), voucher.pieces.end(),
                      [](const std::string& a, const std::string& b) {
                          return a.size() != b.size() ? a.size() < b.size() : a < b;
                      });
        } else {
            continue;
        }
        vouchers_.push_back(std::move(voucher));
    }
    for (std::size_t v = 0; v < vouchers_.size(); ++v) {
        const auto& pieces = vouchers_[v].pieces;
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            byPiece_.emplace(runtime::nameKey(pieces[k]),
                             std::pair<std::size_t, int>{v, static_cast<int>(k + 1)});
        }
    }
}

std::vector<Claim> SetVouchers::claims(const std::string& name) const {
    std::vector<Claim> found;
    const auto [from, to] = byPiece_.equal_range(runtime::nameKey(name));
    for (auto it = from; it != to; ++it) {
        found.push_back({&vouchers_[it->second.first], it->second.second});
    }
    return found;
}

std::optional<Claim> SetVouchers::otherSetsClaim(const std::string& name,
                                                 const std::string& target) const {
    for (const Claim& claim : claims(name)) {
        if (!runtime::namesEqual(claim.voucher->target, target)) {
            return claim;
        }
    }
    return std::nullopt;
}

Refusal SetVouchers::conflict(const std::string& name) const {
    const auto found = claims(name);
    for (const Claim& claim : found) {
        if (const auto other = otherSetsClaim(name, claim.voucher->target)) {
            return refusal(ErrorNumber::InvalidArgument,
                           merge_text::claimedByTwoSets(claim.voucher->file, claim.voucher->target,
                                                        other->voucher->file,
                                                        other->voucher->target),
                           name);
        }
    }
    return std::nullopt;
}

const Voucher* SetVouchers::scriptOf(const std::string& target) const {
    for (const Voucher& voucher : vouchers_) {
        if (voucher.script && runtime::namesEqual(voucher.target, target)) {
            return &voucher;
        }
    }
    return nullptr;
}

} // namespace engine
