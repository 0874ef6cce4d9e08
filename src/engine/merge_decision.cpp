#include "engine/merge_decision.h"

#include "engine/checksum_file.h"
#include "engine/merge_text.h"
#include "engine/set_collection.h"
#include "engine/set_lists.h"
#include "engine/set_vouchers.h"
#include "runtime/ascii_case.h"
#include "runtime/path.h"
#include "runtime/script_encoding.h"

namespace engine {

namespace {

using runtime::ErrorNumber;

bool sameFile(const ListedFile& file, const std::string& name, const ListedFile* named) {
    return runtime::namesEqual(file.name, name) ||
           (named && named->identity && file.identity == named->identity);
}

// Why the target cannot be written, or nothing: it must be a bare name the program can
// write, not a folder or a device, and not the script or the checksum file of the set
// (in any spelling, or as another link of the same file).
Refusal unwritableTarget(const std::string& name, const Folder& folder,
                         const std::vector<const ListedFile*>& setFiles) {
    if (!isBareName(name)) {
        return refusal(ErrorNumber::InvalidArgument, merge_text::targetWithFolder, name);
    }
    if (const auto reason = runtime::unusableNameReason(name)) {
        return refusal(ErrorNumber::InvalidArgument, merge_text::targetUnusable(*reason), name);
    }
    if (!runtime::isUtf8(name)) {
        return refusal(ErrorNumber::InvalidArgument, merge_text::targetNotText, name);
    }
    if (runtime::isTemporaryName(name)) {
        // The next run's clean-up would take it for a temporary a killed run left.
        return refusal(ErrorNumber::InvalidArgument, merge_text::targetLikeATemporary, name);
    }
    const ListedFile* target = folder.find(name);
    if (target && !target->regular) {
        return refusal(ErrorNumber::NotRegularFile, merge_text::targetOccupied, name);
    }
    for (const ListedFile* file : setFiles) {
        if (file && sameFile(*file, name, target)) {
            return refusal(ErrorNumber::PathFileAccess, merge_text::targetIsAVoucher, file->name);
        }
    }
    return std::nullopt;
}

// Refuses what would lose data or give a corrupt file.
MergeDecision check(const MergeCommand& command, const Folder& folder, const char* listedBy,
                    const std::vector<const ListedFile*>& setFiles, bool numbered = false) {
    const std::string listed = merge_text::piecesMissing(listedBy, command.sources.size());
    if (const auto refused = unwritableTarget(command.target, folder, setFiles)) {
        return *refused;
    }
    MergePlan plan;
    plan.target = command.target;
    const ListedFile* target = folder.find(command.target);
    for (const auto& name : command.sources) {
        const ListedFile* piece = folder.find(name);
        if (!piece) {
            return refusal(ErrorNumber::FileNotFound, listed, name);
        }
        if (const auto refused = unreadableReason(*piece)) {
            return *refused;
        }
        if (sameFile(*piece, command.target, target)) {
            return refusal(ErrorNumber::PathFileAccess, merge_text::targetIsAPiece, name);
        }
        plan.pieces.push_back({name, piece->size, piece->identity});
        plan.total += piece->size;
    }
    if (plan.pieces.size() >= 2 && (numbered || numberedSet(command.sources))) {
        // Pieces numbered as the split numbers them must have the split's sizes.
        const std::int64_t pieceSize = plan.pieces.front().size;
        for (std::size_t i = 1; i + 1 < plan.pieces.size(); ++i) {
            if (plan.pieces[i].size != pieceSize) {
                return refusal(ErrorNumber::InvalidArgument, merge_text::pieceSizeDiffers,
                               plan.pieces[i].name);
            }
        }
        const MergePiece& last = plan.pieces.back();
        if (last.size == 0 || last.size > pieceSize) {
            return refusal(ErrorNumber::InvalidArgument, merge_text::lastPieceSize, last.name);
        }
    }
    return plan;
}

// Numbered pieces and nothing that lists them: the set is known to be complete only when it
// ends in a shorter piece.
Refusal unproven(const MergePlan& plan) {
    const MergePiece& last = plan.pieces.back();
    if (plan.pieces.size() < 2 || last.size >= plan.pieces.front().size) {
        return refusal(ErrorNumber::FileNotFound, merge_text::unproven, last.name);
    }
    return std::nullopt;
}

// Another tool's set picked at its first piece: its pieces, checked by its list where it
// has one.
MergeDecision otherToolSet(const OtherToolPieces& pieces, const Folder& folder,
                           const FileReader& reader) {
    const auto list = otherToolList(pieces.stem, pieces.names, folder, reader);
    if (!list) {
        return list.problem();
    }
    MergeCommand command;
    command.sources = pieces.names;
    command.target = list->target;
    MergeDecision decision = check(command, folder, "", {list->file}, true);
    if (!decision) {
        return decision;
    }
    MergePlan& plan = decision.value();
    if (list->size && *list->size != plan.total) {
        return refusal(ErrorNumber::InvalidArgument,
                       merge_text::sizeDisagrees(*list->size, plan.total), list->file->name);
    }
    if (!list->check) {
        if (const auto refused = unproven(plan)) {
            return *refused;
        }
    }
    plan.checksums = list->check;
    return decision;
}

} // namespace

MergeDecision decideMerge(const std::string& picked, const std::vector<ListedFile>& listing,
                          const FileReader& readFile) {
    const Folder folder(listing);
    const ListedFile* pickedFile = folder.find(picked);
    if (!pickedFile) {
        return refusal(ErrorNumber::FileNotFound, merge_text::notFound, picked);
    }
    const SetVouchers vouchers(folder, readFile);
    const bool pickedScript = runtime::endsWithIgnoringAsciiCase(picked, ".BAT");
    if (!pickedScript) {
        if (const auto pieces = otherToolPieces(*pickedFile, folder, vouchers)) {
            if (!*pieces) {
                return pieces->problem();
            }
            return otherToolSet(pieces->value(), folder, readFile);
        }
    }
    const auto found = pickedScript ? readScriptCommands(*pickedFile, readFile, {}, folder)
                                    : commandsForPicked(*pickedFile, folder, vouchers, readFile);
    if (!found) {
        return found.problem();
    }
    const auto chosen = breakTie(found.value(), folder, readFile);
    if (!chosen) {
        return chosen.problem();
    }
    MergeCommand command = chosen.value();
    const bool fromScript = pickedScript || command.fromScript;

    const auto sums = findChecksums(command, folder, readFile);
    if (!sums) {
        return sums.problem();
    }
    const auto& [checksums, checksumFile] = sums.value();
    if (checksums) {
        // The checksum file is the list: count, order and names.
        std::vector<std::string> listed;
        for (const auto& line : checksums->pieces) {
            listed.push_back(line.name);
        }
        if (fromScript && !sameNames(listed, command.sources)) {
            return refusal(ErrorNumber::InvalidArgument, merge_text::listsDisagree,
                           checksumFile->name);
        }
        // The script (or the pieces' names) decides the target; a checksum file that names
        // another file is a disagreement, never a way to write elsewhere.
        if (!runtime::namesEqual(checksums->whole.name, command.target)) {
            return refusal(
                ErrorNumber::InvalidArgument,
                merge_text::targetsDisagree(checksums->whole.name, fromScript, command.target),
                checksumFile->name);
        }
        command.sources = std::move(listed);
    }
    // A piece that another set's voucher lists is that set's, never this one's.
    for (const std::string& source : command.sources) {
        if (const auto claim = vouchers.otherSetsClaim(source, command.target)) {
            return refusal(ErrorNumber::InvalidArgument,
                           merge_text::claimedByOtherSet(claim->voucher->file,
                                                         claim->voucher->target, command.target),
                           source);
        }
    }
    const ListedFile* script = command.script.empty() ? nullptr : folder.find(command.script);
    MergeDecision decision =
        check(command, folder, checksums ? "校验文件" : "脚本", {script, checksumFile});
    if (!decision) {
        return decision;
    }
    MergePlan* plan = &decision.value();
    if (checksums) {
        SetCheck own{runtime::HashKind::Sha256, {}, checksums->whole.hex, checksumFile->name};
        for (const auto& line : checksums->pieces) {
            own.pieces.push_back(line.hex);
        }
        plan->checksums = std::move(own);
    } else if (!fromScript) {
        if (const auto refused = unproven(*plan)) {
            return *refused;
        }
    }
    return decision;
}

} // namespace engine
