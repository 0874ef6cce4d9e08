#include "engine/merge_run.h"

#include "engine/copy_loop.h"
#include "engine/merge_decision.h"
#include "engine/piece_set.h"
#include "engine/pump_throttle.h"
#include "engine/run_report.h"
#include "engine/set_hasher.h"
#include "engine/split_run.h"
#include "runtime/error.h"
#include "runtime/file.h"
#include "runtime/number_text.h"
#include "runtime/path.h"

#include <optional>

namespace engine {

namespace {

using runtime::Error;
using runtime::ErrorNumber;

// The most attempts at a free temporary name before the merge gives up.
constexpr int temporaryNameAttempts = 100;

std::string readWholeFile(FileOpener& files, const std::string& path) {
    const auto script = files.open(path, FileOpener::Mode::Read);
    std::string bytes(static_cast<std::size_t>(script->length()), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::size_t n = script->read(bytes.data() + got, bytes.size() - got);
        if (n == 0) {
            break;
        }
        got += n;
    }
    bytes.resize(got);
    script->close();
    return bytes;
}

// Names the first piece whose hash is not the one the checksum file gives, then the
// result when it differs.
void checkHashes(SetHasher& hasher, const SetChecksums& sums, const std::string& folder,
                 const std::string& target) {
    const auto& pieces = hasher.pieceHashes();
    for (std::size_t i = 0; i < sums.pieces.size(); ++i) {
        if (runtime::Sha256::hex(pieces.at(i)) != sums.pieces[i].hex) {
            throw Error(ErrorNumber::InvalidArgument,
                        "第" + runtime::decimalText(static_cast<std::int64_t>(i + 1)) +
                            "个分割文件已损坏：" + folder + sums.pieces[i].name + "，请重新获取",
                        {});
        }
    }
    if (hasher.wholeHash() != sums.whole.hex) {
        throw Error(ErrorNumber::InvalidArgument, "合并结果与校验文件不符，请重新获取整组分割文件",
                    folder + target);
    }
}

// A file in the target's folder that is removed unless it is put in place.
class TemporaryTarget {
public:
    TemporaryTarget(FileOpener& files, const std::string& folder, const std::string& target,
                    std::uint32_t permissions) {
        for (int attempt = 0;; ++attempt) {
            path_ = folder + temporaryName(target, attempt);
            try {
                file_ = files.open(path_, FileOpener::Mode::CreateNew, permissions);
                return;
            } catch (const Error& error) {
                if (error.number() != ErrorNumber::FileAlreadyExists ||
                    attempt + 1 >= temporaryNameAttempts) {
                    throw;
                }
            }
        }
    }
    ~TemporaryTarget() {
        if (!placed_) {
            file_.reset();
            runtime::removeFile(path_);
        }
    }
    TemporaryTarget(const TemporaryTarget&) = delete;
    TemporaryTarget& operator=(const TemporaryTarget&) = delete;

    runtime::File& file() { return *file_; }

    void putInPlace(const std::string& target) {
        file_->close();
        runtime::renameReplacing(path_, target);
        placed_ = true;
    }

private:
    std::string path_;
    std::unique_ptr<runtime::File> file_;
    bool placed_ = false;
};

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
                Error(ErrorNumber::FileNotFound, "找不到要合并的文件", picked).description());
        }
        const MergeDecision decision =
            decideMerge(parts.name, runtime::listFolder(folder), [&](const std::string& name) {
                return readWholeFile(files, folder + name);
            });
        if (const auto* refusal = std::get_if<MergeRefusal>(&decision)) {
            const Error error(refusal->number, refusal->description,
                              refusal->name.empty() ? std::string() : folder + refusal->name);
            return report.refused(split_text::errorPrefix + error.description());
        }
        const MergePlan& plan = std::get<MergePlan>(decision);
        std::optional<SetHasher> hasher;
        if (plan.checksums) {
            std::vector<std::string> paths;
            std::vector<HashedRange> ranges;
            for (const auto& piece : plan.pieces) {
                ranges.push_back({paths.size(), piece.size});
                paths.push_back(folder + piece.name);
            }
            hasher.emplace(files, std::move(paths), std::move(ranges));
        }
        // The result is as private as the pieces the split made (they share one mode).
        TemporaryTarget output(
            files, folder, plan.target,
            files.open(folder + plan.pieces.front().name, FileOpener::Mode::Read)->permissions());
        output.file().reserve(plan.total);
        CopyLoop(host, output.file(), CopyLoop::Direction::StepsToShared)
            .run(static_cast<int>(plan.pieces.size()), plan.total, [&](int k) {
                const MergePiece& piece = plan.pieces[static_cast<std::size_t>(k - 1)];
                auto file = files.open(folder + piece.name, FileOpener::Mode::Read);
                if (file->length() != piece.size) {
                    throw Error(ErrorNumber::InvalidArgument,
                                "分割文件在合并时被改动了，请重新合并", file->path());
                }
                return CopyLoop::Step{std::move(file), piece.size};
            });
        if (hasher) {
            waitForHashes(host, *hasher);
            checkHashes(*hasher, *plan.checksums, folder, plan.target);
        }
        output.putInPlace(folder + plan.target);
        return report.completed(plan.checksums ? merge_text::succeededAndChecked
                                               : merge_text::succeeded);
    });
}

} // namespace engine
