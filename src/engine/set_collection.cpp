#include "engine/set_collection.h"

#include "engine/merge_text.h"
#include "engine/other_sets.h"
#include "runtime/path.h"

#include <algorithm>
#include <functional>

namespace engine {

namespace {

using runtime::ErrorNumber;

bool lists(const MergeCommand& command, const std::string& name) {
    return std::any_of(
        command.sources.begin(), command.sources.end(),
        [&](const std::string& source) { return runtime::namesEqual(source, name); });
}

// The pieces 1, 2, ... of a set that nothing lists, as long as they follow one another (at
// most a set's count); a higher piece after the run means one went missing, not that the set
// ended. One collector for this program's sets and other tools'.
Result<std::vector<std::string>>
consecutivePieces(const Folder& folder, const std::function<std::string(int)>& nameOf,
                  const std::function<int(const std::string&)>& numberOf) {
    std::vector<std::string> names;
    while (names.size() < static_cast<std::size_t>(maxPieceCount) &&
           folder.find(nameOf(static_cast<int>(names.size()) + 1))) {
        names.push_back(nameOf(static_cast<int>(names.size()) + 1));
    }
    int highest = 0;
    for (const auto& file : folder.listing()) {
        highest = std::max(highest, numberOf(file.name));
    }
    const int count = static_cast<int>(names.size());
    if (highest > count) {
        return refusal(ErrorNumber::FileNotFound, merge_text::pieceMissingBefore(nameOf(highest)),
                       nameOf(count + 1));
    }
    return names;
}

// The pieces of one of this program's sets that travelled without a script that lists them.
Result<std::vector<MergeCommand>> numberedPieces(const PieceSet& set, const Folder& folder) {
    auto names = consecutivePieces(
        folder, [&](int k) { return set.pieceName(k); },
        [&](const std::string& name) { return set.pieceNumber(name); });
    if (!names) {
        return names.problem();
    }
    MergeCommand command;
    command.sources = std::move(names.value());
    command.target = set.targetName();
    return std::vector<MergeCommand>{std::move(command)};
}

Problem laterPiece(const std::string& picked, int number, const std::string& first,
                   const std::string& script) {
    return refusal(ErrorNumber::InvalidArgument, merge_text::laterPiece(number, first, script),
                   picked);
}

// Whether the folder bears a reading out: the set's pieces 1 to the reading's number are
// all there.
bool borneOut(const PieceReading& reading, const Folder& folder) {
    for (int k = 1; k < reading.number; ++k) {
        if (!folder.find(reading.set.pieceName(k))) {
            return false;
        }
    }
    return true;
}

// A piece that the folder's vouchers list: the set they list it in decides.
Result<std::vector<MergeCommand>> claimedPiece(const ListedFile& picked,
                                               const std::vector<Claim>& claims,
                                               const SetVouchers& vouchers, const Folder& folder,
                                               const FileReader& reader) {
    const Claim& claim = claims.front();
    const Voucher* script = vouchers.scriptOf(claim.voucher->target);
    if (claim.number != 1) {
        return laterPiece(picked.name, claim.number, claim.voucher->pieces.front(),
                          script ? script->file : std::string());
    }
    if (script) {
        if (const ListedFile* file = folder.find(script->file)) {
            const auto fromScript = readScriptCommands(*file, reader, {}, folder);
            std::vector<MergeCommand> listing;
            for (const MergeCommand& command : fromScript ? *fromScript : listing) {
                if (lists(command, picked.name)) {
                    listing.push_back(command);
                    listing.back().fromScript = true;
                }
            }
            if (!listing.empty()) {
                return listing;
            }
        }
    }
    // Only the set's checksum file lists it: that list is the set, and the pieces' names
    // give the target, which the checksum file must agree with.
    MergeCommand command;
    command.sources = claim.voucher->pieces;
    command.target = claim.voucher->target;
    for (const auto& reading : readPieceName(picked.name)) {
        if (reading.number == 1) {
            command.target = reading.set.targetName();
            if (runtime::namesEqual(command.target, claim.voucher->target)) {
                break;
            }
        }
    }
    return std::vector<MergeCommand>{command};
}

// Nothing lists the picked file: a reading counts only where the folder bears it out, and
// two that it bears out are never guessed between.
std::optional<Result<std::vector<MergeCommand>>> unlistedPiece(const ListedFile& picked,
                                                               const Folder& folder) {
    const std::vector<PieceReading> readings = readPieceName(picked.name);
    std::vector<PieceReading> borne;
    for (const auto& reading : readings) {
        if (borneOut(reading, folder)) {
            borne.push_back(reading);
        }
    }
    if (borne.size() > 1) {
        return refusal(ErrorNumber::InvalidArgument,
                       merge_text::twoReadings(borne[0].set.targetName(), borne[0].number,
                                               borne[1].set.targetName(), borne[1].number),
                       picked.name);
    }
    if (borne.size() == 1 && borne.front().number == 1) {
        return numberedPieces(borne.front().set, folder);
    }
    if (readings.empty()) {
        return std::nullopt;
    }
    auto reading = borne.empty() ? readings.front() : borne.front();
    for (const auto& candidate : readings) {
        if (borne.empty() && folder.find(candidate.set.pieceName(1))) {
            reading = candidate;
            break;
        }
    }
    return laterPiece(picked.name, reading.number, reading.set.pieceName(1),
                      reading.set.scriptName());
}

// Whether a picked name is the piece of one of this program's own sets: its script or
// its second piece is there.
bool ownSetPiece(const std::string& name, const Folder& folder, const SetVouchers& vouchers) {
    if (!vouchers.claims(name).empty()) {
        return true;
    }
    for (const auto& reading : readPieceName(name)) {
        if (folder.findScript(reading.set.scriptName()) ||
            (reading.number == 1 && folder.find(reading.set.pieceName(2)))) {
            return true;
        }
    }
    return false;
}

} // namespace

Result<std::vector<MergeCommand>> commandsForPicked(const ListedFile& picked, const Folder& folder,
                                                    const SetVouchers& vouchers,
                                                    const FileReader& reader) {
    if (const auto conflict = vouchers.conflict(picked.name)) {
        return *conflict;
    }
    const std::vector<Claim> claims = vouchers.claims(picked.name);
    if (!claims.empty()) {
        return claimedPiece(picked, claims, vouchers, folder, reader);
    }
    if (auto piece = unlistedPiece(picked, folder)) {
        return std::move(*piece);
    }
    const PieceSet ownSet = PieceSet::forSource({}, picked.name);
    if (folder.find(ownSet.pieceName(1))) {
        return refusal(ErrorNumber::InvalidArgument,
                       merge_text::joinedFile(ownSet.scriptName(), ownSet.pieceName(1)),
                       picked.name);
    }
    // A script under another name, or no script at all.
    auto other = readScriptCommands(picked, reader, merge_text::notAScript, folder);
    if (other) {
        for (MergeCommand& command : other.value()) {
            command.fromScript = true;
        }
    }
    return other;
}

std::optional<Result<OtherToolPieces>>
otherToolPieces(const ListedFile& picked, const Folder& folder, const SetVouchers& vouchers) {
    const auto name = readOtherPieceName(picked.name);
    if (!name || ownSetPiece(picked.name, folder, vouchers)) {
        return std::nullopt;
    }
    const std::string& stem = name->stem;
    if (name->number != 1) {
        return Result<OtherToolPieces>(
            laterPiece(picked.name, name->number, otherPieceName(stem, 1), {}));
    }
    auto names = consecutivePieces(
        folder, [&](int k) { return otherPieceName(stem, k); },
        [&](const std::string& file) {
            const auto other = readOtherPieceName(file);
            return other && runtime::namesEqual(other->stem, stem) ? other->number : 0;
        });
    if (!names) {
        return Result<OtherToolPieces>(names.problem());
    }
    return Result<OtherToolPieces>(OtherToolPieces{stem, std::move(names.value())});
}

std::optional<PieceSet> numberedSet(const std::vector<std::string>& sources) {
    for (const auto& reading : readPieceName(sources.front())) {
        if (reading.number != 1) {
            continue;
        }
        bool inOrder = true;
        for (std::size_t i = 0; i < sources.size() && inOrder; ++i) {
            inOrder = reading.set.pieceNumber(sources[i]) == static_cast<int>(i + 1);
        }
        if (inOrder) {
            return reading.set;
        }
    }
    return std::nullopt;
}

} // namespace engine
