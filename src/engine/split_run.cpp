#include "engine/split_run.h"

#include "engine/recovery_files.h"

#include "engine/checksum_file.h"
#include "engine/copy_loop.h"
#include "engine/merge_script.h"
#include "engine/piece_flusher.h"
#include "engine/piece_opener.h"
#include "engine/piece_plan.h"
#include "engine/room_check.h"
#include "engine/run_report.h"
#include "engine/set_vouchers.h"
#include "runtime/error.h"
#include "runtime/file.h"
#include "runtime/folder_lock.h"
#include "runtime/number_text.h"
#include "runtime/path.h"
#include "runtime/script_encoding.h"

namespace engine {

std::string split_text::completed(int pieceCount) {
    return "文件分割操作已经圆满完成!共生成" + runtime::decimalText(pieceCount) + "个分割文件!";
}

std::string split_text::folderBusy(const std::string& folderPrefix) {
    return "另一个分割或合并正在使用这个文件夹（" +
           (folderPrefix.empty() ? std::string("当前文件夹") : folderPrefix) +
           "），请等它完成后再试";
}

std::string split_text::stopped(int removed) {
    return "已停止：删除了本次写出的" + runtime::decimalText(removed) + "个分割文件";
}

std::string split_text::wouldRuinOtherSet(const std::string& name, const Voucher& voucher) {
    return "分割出的文件“" + name + "”会覆盖另一组文件（“" + voucher.file + "”把它列为“" +
           voucher.target + "”的分割文件）。请另选一个输出文件夹，或先把那一组文件移走";
}

std::string split_text::nameUnusable(const std::string& name, const std::string& reason) {
    return "分割出的文件名“" + name + "”不能用：" + reason + "。请给文件改名后再分割!";
}

std::string split_text::nameNotCarried(char character) {
    std::string shown;
    switch (character) {
    case '\n':
        shown = "换行符";
        break;
    case '\r':
        shown = "回车符";
        break;
    case '\t':
        shown = "制表符";
        break;
    case '"':
        shown = "双引号“\"”";
        break;
    default:
        if (static_cast<unsigned char>(character) < 0x20 || character == '\x7F') {
            const char* digits = "0123456789ABCDEF";
            const auto byte = static_cast<unsigned char>(character);
            shown = std::string("控制字符 U+00") + digits[byte >> 4] + digits[byte & 0xF];
        } else {
            shown = std::string("“") + character + "”";
        }
    }
    return "文件名中有合并脚本写不出的字符（" + shown + "），请给文件改名后再分割!";
}

namespace {

// True when any file the plan writes is the source itself (same name in another
// spelling, a link, or a case-folded name on a case-insensitive file system).
bool planWritesOverSource(const PiecePlan& plan, const runtime::FileIdentity& source) {
    if (runtime::fileIdentity(plan.names.scriptPath()) == source ||
        runtime::fileIdentity(plan.names.folder() + checksumFileName(plan.names.targetName())) ==
            source) {
        return true;
    }
    for (int i = 1; i <= plan.count; ++i) {
        if (runtime::fileIdentity(plan.piecePath(i)) == source) {
            return true;
        }
    }
    return false;
}

void removeVoucher(const std::string& path) {
    if (!runtime::removeFile(path) && runtime::pathExists(path)) {
        throw runtime::Error(runtime::ErrorNumber::PermissionDenied, path);
    }
}

// The recovery files of an earlier split of the same file: NAME.par2 and NAME.vol…+….par2.
std::vector<std::string> oldRecoveryFiles(const PiecePlan& plan,
                                          const std::vector<runtime::FolderEntry>& listing) {
    const std::string target = plan.names.targetName();
    std::vector<std::string> found;
    for (const auto& entry : listing) {
        const auto recovery = recoveryNameOf(entry.name);
        if (entry.regular && recovery && runtime::namesEqual(recovery->target, target)) {
            found.push_back(plan.names.folder() + entry.name);
        }
    }
    return found;
}

void removeRecoveryFiles(const PiecePlan& plan, const RecoveryRequest& request) {
    for (const RecoveryVolume& volume : recoveryVolumes(
             plan.names.targetName(), static_cast<std::uint32_t>(request.piecesToRebuild))) {
        runtime::removeFile(plan.names.folder() + volume.name);
    }
}

// What one split writes, once it may begin: the pieces, flushed, then the script and the
// checksum file. `written` counts the pieces it has begun to write.
void writeSet(Host& host, FileOpener& files, const PiecePlan& plan, runtime::File& source,
              const std::string& script, std::uint32_t permissions, int& written,
              const runtime::FolderLock& held, const std::optional<RecoveryRequest>& recovery) {
    const runtime::FileStamp sourceBefore = source.stamp();
    const std::string checksumPath =
        plan.names.folder() + checksumFileName(plan.names.targetName());
    SetHashes hashes;
    {
        PieceOpener pieces(plan, files, permissions);
        PieceFlusher flusher(host, files, plan.names.folder());
        CopyLoop loop(host, source, CopyLoop::Direction::SharedToSteps, HashesWanted::both(),
                      split_text::sourceChanged);
        loop.run(
            plan.count, plan.fileLength,
            [&](int k) {
                ++written;
                return CopyLoop::Step{pieces.take([&] { host.pumpEvents(); }), plan.pieceLength(k)};
            },
            [&](int, std::unique_ptr<runtime::File> piece) { flusher.written(std::move(piece)); });
        hashes = loop.hashes();
        // Checked once the last byte is read and hashed: the set is the source as it was
        // for the whole run, or the run fails.
        if (source.stamp() != sourceBefore) {
            throw runtime::Error(runtime::ErrorNumber::InvalidArgument, split_text::sourceChanged,
                                 source.path());
        }
        source.close();
        // Nothing vouches for a piece before it is on the disk.
        flusher.finish();
    }
    // A folder swapped on the way (for a link elsewhere, say) has only some of the pieces.
    if (!held.stillThere()) {
        throw runtime::Error(runtime::ErrorNumber::PathFileAccess, split_text::folderSwapped,
                             plan.names.folder());
    }
    if (recovery) {
        writeRecoveryFiles(files, *recovery, [&] { host.pumpEvents(); });
    }
    writeMergeScript(files, plan.names.scriptPath(), script, permissions);
    try {
        writeChecksumFile(
            files, checksumPath, static_cast<std::size_t>(plan.count) + 1,
            [&](std::size_t line) {
                return line < hashes.pieces.size()
                           ? checksumLine({hashes.pieces[line],
                                           plan.pieceBareName(static_cast<int>(line) + 1)})
                           : checksumLine({hashes.whole, plan.names.targetName()});
            },
            permissions);
    } catch (...) {
        // A failed split leaves nothing that vouches for its pieces.
        runtime::removeFile(plan.names.scriptPath());
        if (recovery) {
            removeRecoveryFiles(plan, *recovery);
        }
        throw;
    }
}

// What the files this split replaces hold now: their room is the split's to use again.
Replaced replacedBy(const PiecePlan& plan, const std::vector<runtime::FolderEntry>& listing,
                    std::int64_t blockSize) {
    Replaced replaced;
    for (const auto& entry : listing) {
        const int number = plan.names.pieceNumber(entry.name);
        if (entry.regular && number >= 1 && number <= plan.count) {
            replaced.bytes += storedSize(entry.size, blockSize);
            ++replaced.files;
        }
    }
    return replaced;
}

// Whether the destination can take the set; a destination that cannot be asked (a
// missing folder, say) is left to the first piece's opening to report.
Refusal shortfallOf(const PiecePlan& plan, FileOpener& files,
                    const std::vector<runtime::FolderEntry>& listing,
                    const std::optional<RecoveryRequest>& recovery) {
    try {
        const runtime::VolumeRoom room = files.room(plan.names.folder());
        return roomShortfall(plan, room, replacedBy(plan, listing, room.blockSize),
                             recovery ? recoveryFileSizes(*recovery) : std::vector<std::int64_t>{});
    } catch (const runtime::Error&) {
        return std::nullopt;
    }
}

// The destination's entries; none when it cannot be read (its first piece's opening then
// reports why).
std::vector<runtime::FolderEntry> destinationListing(const PiecePlan& plan) {
    try {
        return runtime::listFolder(plan.names.folder());
    } catch (const runtime::Error&) {
        return {};
    }
}

// A file the split would write that belongs to another set by what vouches for that set:
// writing it would ruin that set. Nothing when there is none.
Refusal otherSetsFile(const PiecePlan& plan, const std::vector<runtime::FolderEntry>& listing,
                      FileOpener& files) {
    const Folder folder(listing);
    const SetVouchers vouchers(folder, [&](const std::string& name) {
        return readWholeFile(files, plan.names.folder() + name);
    });
    const std::string target = plan.names.targetName();
    // A script of the same base for another source (report.BAT of report.doc, when
    // report.pdf is split) is replaced as it always was: the other set keeps its pieces and
    // its checksum file.
    const auto ruins = [&](const std::string& name) -> Refusal {
        const auto claim = vouchers.otherSetsClaim(name, target);
        if (!claim) {
            return std::nullopt;
        }
        return refusal(runtime::ErrorNumber::FileAlreadyExists,
                       split_text::wouldRuinOtherSet(name, *claim->voucher));
    };
    for (int k = 1; k <= plan.count; ++k) {
        if (folder.find(plan.pieceBareName(k))) {
            if (auto ruined = ruins(plan.pieceBareName(k))) {
                return ruined;
            }
        }
    }
    for (const std::string& name : {plan.names.scriptName(), checksumFileName(target)}) {
        if (folder.find(name)) {
            if (auto ruined = ruins(name)) {
                return ruined;
            }
        }
    }
    return std::nullopt;
}

} // namespace

RunOutcome SplitIT(Host& host, const std::string& SFile, std::int64_t SplitSIZE,
                   const std::string& Oname, FileOpener& files) {
    return SplitIT(host, SFile, SplitSIZE, Oname, 0, files);
}

RunOutcome SplitIT(Host& host, const std::string& SFile, std::int64_t SplitSIZE,
                   const std::string& Oname, int recoveryPieces, FileOpener& files) {
    RunReport report(host);
    if (SplitSIZE <= 0) {
        return report.refused(split_text::sizeNotPositive);
    }
    return report.guard([&] {
        const std::int64_t length = runtime::fileLength(SFile);
        if (length == 0) {
            return report.refused(split_text::sourceEmpty);
        }
        if (!passesSizeGate(length, SplitSIZE)) {
            return report.refused(split_text::sourceTooSmall);
        }
        if (pieceCount(length, SplitSIZE) > maxPieceCount) {
            return report.refused(split_text::tooManyPieces);
        }
        const PiecePlan plan =
            makePlan(SFile, SplitSIZE, Oname, length, runtime::nativePathStyle());
        if (!runtime::isUtf8(plan.sourceName)) {
            return report.refused(split_text::nameNotText);
        }
        if (const auto character = characterNoScriptCarries(plan.sourceName)) {
            return report.refused(split_text::nameNotCarried(*character));
        }
        // Every name the run will write, checked before the first: the longest piece name
        // is the last one's.
        for (const std::string& name :
             {plan.pieceBareName(1), plan.pieceBareName(plan.count), plan.names.scriptName(),
              checksumFileName(plan.names.targetName())}) {
            if (const auto reason = runtime::unusableNameReason(name)) {
                return report.refused(split_text::nameUnusable(name, *reason));
            }
        }
        std::optional<RecoveryRequest> recovery;
        if (recoveryPieces > 0) {
            recovery = RecoveryRequest{
                plan.names.folder(), plan.names.targetName(), {}, SplitSIZE, recoveryPieces};
            for (int k = 1; k <= plan.count; ++k) {
                recovery->pieceNames.push_back(plan.pieceBareName(k));
            }
            if (const auto refused = recoveryRefusal(*recovery)) {
                return report.refused(refused->message);
            }
        }
        const std::string script = mergeScriptBytes(mergeScriptText(plan));

        // Held to the end: a second run here would mix its files with this one's.
        const auto held = runtime::FolderLock::tryHold(plan.names.folder());
        if (!held) {
            return report.refused(split_text::folderBusy(plan.names.folder()));
        }
        const auto listing = destinationListing(plan);
        if (const auto ruined = otherSetsFile(plan, listing, files)) {
            return report.refused(ruined->message);
        }
        if (const auto shortfall = shortfallOf(plan, files, listing, recovery)) {
            return report.refused(split_text::errorPrefix + shortfall->message);
        }
        const auto source = files.open(SFile, FileOpener::Mode::Read);
        const auto sourceIdentity = runtime::fileIdentity(SFile);
        // What a killed run left here would otherwise stay for good; a source, or a joined
        // file beside the pieces, that merely looks like one is the user's file.
        std::vector<runtime::FileIdentity> spared;
        for (const auto& identity :
             {sourceIdentity,
              runtime::fileIdentity(plan.names.folder() + plan.names.targetName())}) {
            if (identity) {
                spared.push_back(*identity);
            }
        }
        runtime::removeStaleTemporaries(plan.names.folder(), spared);
        if (sourceIdentity && planWritesOverSource(plan, *sourceIdentity)) {
            return report.refused(split_text::wouldOverwriteSource);
        }
        // Every file of the set is as private as the source.
        const std::uint32_t permissions = source->permissions();
        // An older set's script and checksum file go first, so that a run that ends
        // early leaves nothing that vouches for a mix of new and old pieces.
        removeVoucher(plan.names.scriptPath());
        removeVoucher(plan.names.folder() + checksumFileName(plan.names.targetName()));
        for (const std::string& old : oldRecoveryFiles(plan, listing)) {
            removeVoucher(old);
        }
        if (recovery) {
            recovery->permissions = permissions;
        }

        int written = 0;
        try {
            writeSet(host, files, plan, *source, script, permissions, written, *held, recovery);
        } catch (const RunCancelled&) {
            if (recovery) {
                removeRecoveryFiles(plan, *recovery);
            }
            // A stopped set is of no use: nothing would vouch for it. Its pieces go, the
            // ones it replaced included (their old bytes were gone already).
            int removed = 0;
            for (int k = 1; k <= written; ++k) {
                removed += runtime::removeFile(plan.piecePath(k)) ? 1 : 0;
            }
            return report.stopped(split_text::stopped(removed));
        }
        return report.completed(split_text::completed(plan.count));
    });
}

} // namespace engine
