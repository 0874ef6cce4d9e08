#include "engine/merge_run.h"

#include "engine/atomic_file.h"
#include "engine/copy_loop.h"
#include "engine/merge_decision.h"
#include "engine/merge_recovery.h"
#include "engine/piece_set.h"
#include "engine/room_check.h"
#include "engine/run_report.h"
#include "engine/split_run.h"
#include "runtime/error.h"
#include "runtime/file.h"
#include "runtime/folder_lock.h"
#include "runtime/hasher.h"
#include "runtime/number_text.h"
#include "runtime/path.h"

#include <algorithm>
#include <exception>
#include <optional>

namespace engine {

namespace {

using runtime::Error;
using runtime::ErrorNumber;

// The files the merge reads or replaces: its pieces (as decided on), the picked file and the
// target.
std::vector<runtime::FileIdentity> sparedBy(const MergePlan& plan, const std::string& picked,
                                            const std::vector<runtime::FolderEntry>& listing) {
    std::vector<runtime::FileIdentity> spared;
    for (const MergePiece& piece : plan.pieces) {
        if (piece.identity) {
            spared.push_back(*piece.identity);
        }
    }
    for (const auto& entry : listing) {
        if (entry.identity && (runtime::namesEqual(entry.name, picked) ||
                               runtime::namesEqual(entry.name, plan.target))) {
            spared.push_back(*entry.identity);
        }
    }
    return spared;
}

// Whether the folder can take the result; one that cannot be asked is left to the writing
// to report.
Refusal shortfallOf(const MergePlan& plan, FileOpener& files, const std::string& folder) {
    try {
        return mergeRoomShortfall(plan.total, files.room(folder));
    } catch (const runtime::Error&) {
        return std::nullopt;
    }
}

Error damagedPiece(std::size_t index, const std::string& folder, const MergePlan& plan) {
    return Error(ErrorNumber::InvalidArgument,
                 merge_text::pieceDamaged(index, folder + plan.pieces[index].name), {});
}

// The hashes a merge computes as it joins: the whole file's where the list has it, which
// proves as much as every piece's; the pieces' only where it has no other.
HashesWanted hashesToCheck(const SetCheck& sums) {
    return sums.whole.empty() ? HashesWanted{false, true} : HashesWanted{true, false};
}

// The first piece whose bytes now hash otherwise than the list says: read again, once the
// joined file has failed its check, only to name the piece to fetch again.
std::optional<std::size_t> firstDamagedPiece(FileOpener& files, const std::string& folder,
                                             const MergePlan& plan, const SetCheck& sums,
                                             Host& host) {
    std::vector<char> buffer(OnePass::blockSize);
    for (std::size_t i = 0; i < sums.pieces.size(); ++i) {
        const auto piece = files.open(folder + plan.pieces[i].name, FileOpener::Mode::Read);
        runtime::Hasher hash(sums.kind);
        while (const std::size_t got = piece->read(buffer.data(), buffer.size())) {
            hash.update(buffer.data(), got);
        }
        host.pumpEvents();
        if (hash.finish() != sums.pieces[i]) {
            return i;
        }
    }
    return std::nullopt;
}

// Names the first piece whose hash is not the one the checksum file gives, then the
// result when it differs.
void checkHashes(const SetHashes& hashes, const SetCheck& sums, const std::string& folder,
                 const MergePlan& plan, FileOpener& files, Host& host) {
    if (hashesToCheck(sums).pieces) {
        for (std::size_t i = 0; i < sums.pieces.size(); ++i) {
            if (hashes.pieces.at(i) != sums.pieces[i]) {
                throw damagedPiece(i, folder, plan);
            }
        }
        return;
    }
    if (hashes.whole == sums.whole) {
        return;
    }
    if (const auto damaged = firstDamagedPiece(files, folder, plan, sums, host)) {
        throw damagedPiece(*damaged, folder, plan);
    }
    throw Error(ErrorNumber::InvalidArgument,
                merge_text::wholeDamaged(runtime::hashName(sums.kind)), folder + plan.target);
}

// Joins the planned pieces into the target through `output`.
RunOutcome mergeInto(Host& host, FileOpener& files, const std::string& folder,
                     const MergePlan& plan, AtomicFile& output, RunReport& report,
                     const runtime::FolderLock& held, const std::vector<std::string>& rebuilt) {
    CopyLoop loop(host, output.file(), CopyLoop::Direction::StepsToShared,
                  plan.checksums ? hashesToCheck(*plan.checksums) : HashesWanted{},
                  merge_text::pieceChanged,
                  plan.checksums ? plan.checksums->kind : runtime::HashKind::Sha256);
    const auto changed = [](const runtime::File& piece) {
        return Error(ErrorNumber::InvalidArgument, merge_text::pieceChanged, piece.path());
    };
    const auto piece = [&](int k) -> const MergePiece& {
        return plan.pieces[static_cast<std::size_t>(k - 1)];
    };
    loop.run(
        static_cast<int>(plan.pieces.size()), plan.total,
        [&](int k) {
            auto file = files.open(folder + piece(k).name, FileOpener::Mode::Read);
            // Not the file decided on: changed, replaced, or swapped for a link elsewhere.
            const auto identity = piece(k).identity ? file->identity() : std::nullopt;
            if (file->length() != piece(k).size || identity != piece(k).identity) {
                throw changed(*file);
            }
            return CopyLoop::Step{std::move(file), piece(k).size};
        },
        [](int, std::unique_ptr<runtime::File> file) { file->close(); });
    if (plan.checksums) {
        checkHashes(loop.hashes(), *plan.checksums, folder, plan, files, host);
    }
    // The pieces were read where they were decided on, or the result is not put there.
    if (!held.stillThere()) {
        throw Error(ErrorNumber::PathFileAccess, merge_text::folderSwapped, folder);
    }
    // Flushed before it replaces anything, and the folder after.
    output.commit();
    if (!rebuilt.empty()) {
        std::vector<int> numbers;
        for (std::size_t i = 0; i < plan.pieces.size(); ++i) {
            if (std::find(rebuilt.begin(), rebuilt.end(), plan.pieces[i].name) != rebuilt.end()) {
                numbers.push_back(static_cast<int>(i) + 1);
            }
        }
        return report.completed(
            merge_text::succeededWithRebuilt(numbers, plan.checksums.has_value()));
    }
    return report.completed(plan.checksums ? merge_text::succeededAndChecked
                                           : merge_text::succeeded);
}

} // namespace

RunOutcome MergeIT(Host& host, const std::string& picked, FileOpener& files) {
    RunReport report(host);
    if (picked.empty()) {
        return report.refused(merge_text::nothingToMerge);
    }
    return report.guard([&] {
        const runtime::PathParts parts = runtime::splitPath(picked, runtime::nativePathStyle());
        const std::string& folder = parts.folder;
        if (!runtime::isDirectory(folder.empty() ? "." : folder)) {
            return report.refused(
                split_text::errorPrefix +
                Error(ErrorNumber::FileNotFound, merge_text::notFound, picked).description());
        }
        // Held to the end: another run here could change the pieces or the target.
        const auto held = runtime::FolderLock::tryHold(folder);
        if (!held) {
            return report.refused(split_text::folderBusy(folder));
        }
        // Pieces rebuilt from recovery files before the second and last attempt.
        std::vector<std::string> rebuilt;
        std::vector<std::string> recoveryFiles;
        for (int attempt = 0;; ++attempt) {
            // A large folder takes a while to list and check: the window is let to draw
            // itself after the listing and after each script or list read.
            std::optional<MergeDecision> decided;
            std::vector<runtime::FolderEntry> listing;
            try {
                listing = runtime::listFolder(folder);
                host.pumpEvents();
                decided = decideMerge(parts.name, listing, [&](const std::string& name) {
                    std::string bytes = readWholeFile(files, folder + name);
                    host.pumpEvents();
                    return bytes;
                });
                if (attempt == 0) {
                    recoveryFiles = recoveryFilesFor(files, folder, parts.name, listing);
                }
            } catch (const RunCancelled&) {
                return report.stopped(merge_text::stopped);
            }
            // Lost or damaged pieces come back from the set's recovery files, once: nothing
            // when they cannot help, a stop or a refusal to return, or an empty completion
            // to try the merge again.
            const auto repaired = [&]() -> std::optional<RunOutcome> {
                if (attempt > 0 || recoveryFiles.empty()) {
                    return std::nullopt;
                }
                std::optional<RepairResult> result;
                try {
                    const std::uint32_t mode =
                        files.open(recoveryFiles.front(), FileOpener::Mode::Read)->permissions();
                    result = repairFromRecoveryFiles(files, folder, recoveryFiles, mode, host);
                } catch (const RunCancelled&) {
                    return report.stopped(merge_text::stopped);
                }
                if (!result || result->lost.empty()) {
                    return std::nullopt;
                }
                if (!result->rebuilt) {
                    return report.refused(
                        split_text::errorPrefix +
                        merge_text::tooManyLost(static_cast<int>(result->lost.size()),
                                                result->rebuildable));
                }
                rebuilt = result->lost;
                return RunOutcome(std::string()); // rebuilt: the merge is tried again
            };
            const MergeDecision& decision = *decided;
            if (!decision) {
                if (const auto outcome = repaired()) {
                    if (!outcome->completed()) {
                        return *outcome;
                    }
                    continue;
                }
                return report.refused(split_text::errorPrefix +
                                      problemText(decision.problem(), folder));
            }
            const MergePlan& plan = decision.value();
            // What a killed merge left here would otherwise stay for good; the files this
            // merge reads or replaces are the user's, whatever their names look like.
            runtime::removeStaleTemporaries(folder, sparedBy(plan, parts.name, listing));
            // The result is as private as the pieces the split made (they share one mode).
            const std::uint32_t permissions =
                files.open(folder + plan.pieces.front().name, FileOpener::Mode::Read)
                    ->permissions();
            if (const auto shortfall = shortfallOf(plan, files, folder)) {
                return report.refused(split_text::errorPrefix + shortfall->message);
            }
            std::exception_ptr failure;
            try {
                // No room set aside for the result: measured on ext4, one large file written
                // into reserved (unwritten) extents flushed 0.2 to 0.3 s later per GiB than
                // one written plainly; the room check above refuses a result that cannot fit.
                AtomicFile output(files, folder + plan.target, permissions);
                return mergeInto(host, files, folder, plan, output, report, *held, rebuilt);
            } catch (const RunCancelled&) {
                return report.stopped(merge_text::stopped);
            } catch (const runtime::Error&) {
                failure = std::current_exception();
            }
            // A piece found damaged on the way: rebuilt, if the recovery files can.
            if (const auto outcome = repaired()) {
                if (!outcome->completed()) {
                    return *outcome;
                }
                continue;
            }
            std::rethrow_exception(failure);
        }
    });
}

} // namespace engine
