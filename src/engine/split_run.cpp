#include "engine/split_run.h"

#include "engine/merge_script.h"
#include "engine/piece_opener.h"
#include "engine/piece_plan.h"
#include "engine/pump_throttle.h"
#include "runtime/byte_copier.h"
#include "runtime/error.h"
#include "runtime/file.h"
#include "runtime/number_text.h"

namespace engine {

std::string split_text::completed(int pieceCount) {
    return "文件分割操作已经圆满完成!共生成" + runtime::decimalText(pieceCount) + "个分割文件!";
}

namespace {

// True when any file the plan writes is the source itself (same name in another
// spelling, a link, or a case-folded name on a case-insensitive file system).
bool planWritesOverSource(const PiecePlan& plan, const runtime::FileIdentity& source) {
    if (runtime::fileIdentity(plan.scriptPath) == source) {
        return true;
    }
    for (int i = 1; i <= plan.count; ++i) {
        if (runtime::fileIdentity(plan.piecePath(i)) == source) {
            return true;
        }
    }
    return false;
}

} // namespace

bool SplitIT(Host& host, const std::string& SFile, std::int32_t SplitSIZE,
             const std::string& Oname) {
    if (SplitSIZE <= 0) {
        host.showMessage(split_text::sizeNotPositive);
        return false;
    }
    try {
        const std::int64_t length = runtime::fileLength(SFile);
        if (!passesSizeGate(length, SplitSIZE)) {
            host.showMessage(split_text::sourceTooSmall);
            return false;
        }
        const PiecePlan plan =
            makePlan(SFile, SplitSIZE, Oname, length, runtime::nativeSeparator());
        // Encoded up front: a name the script cannot hold stops the run before any piece.
        const std::string scriptBytes = mergeScriptBytes(mergeScriptLine(plan));

        runtime::File source = runtime::File::openForReading(SFile);
        const auto sourceIdentity = runtime::fileIdentity(SFile);
        if (sourceIdentity && planWritesOverSource(plan, *sourceIdentity)) {
            host.showMessage(split_text::wouldOverwriteSource);
            return false;
        }

        runtime::ByteCopier copier;
        PumpThrottle pump(host);
        PieceOpener pieces(plan);
        for (int i = 1; i <= plan.count; ++i) {
            const std::string piecePath = plan.piecePath(i);
            runtime::File piece = pieces.take();
            piece.reserve(plan.pieceLength(i));
            copier.copy(source, piece, static_cast<std::uint64_t>(plan.pieceLength(i)),
                        [&pump] { pump.pumpIfDue(); });
            piece.close();
            if (i == plan.count) {
                source.close();
            }
            host.setStatus(split_text::processing + piecePath + "  " +
                           runtime::percentText(i, plan.count));
            pump.pumpNow();
        }
        writeMergeScript(plan.scriptPath, scriptBytes);
        host.setStatus(split_text::completed(plan.count));
        return true;
    } catch (const runtime::Error& error) {
        host.showMessage(split_text::errorPrefix + error.description());
        return true;
    }
}

} // namespace engine
