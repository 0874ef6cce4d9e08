#include "engine/merge_run.h"

#include "engine/merge_script_reader.h"
#include "engine/piece_plan.h"
#include "engine/pump_throttle.h"
#include "engine/split_run.h"
#include "runtime/byte_copier.h"
#include "runtime/error.h"
#include "runtime/file.h"
#include "runtime/number_text.h"
#include "runtime/script_encoding.h"

#include <optional>

namespace engine {

namespace {

using runtime::Error;
using runtime::ErrorNumber;

constexpr std::int64_t largestScript = 16 << 20;

[[noreturn]] void fail(ErrorNumber number, const std::string& description,
                       const std::string& path = {}) {
    throw Error(number, description, path);
}

// A bare name split at the split's numbering: base + three or more digits + extension.
struct NumberedName {
    std::string base;
    std::string extension;
    long number = 0;
};

std::optional<NumberedName> numberedName(const std::string& name) {
    const auto dot = name.find('.');
    const std::string stem = name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    std::size_t digits = 0;
    while (digits < stem.size() && digits < 6 &&
           std::isdigit(static_cast<unsigned char>(stem[stem.size() - 1 - digits]))) {
        ++digits;
    }
    if (digits < 3 || digits == stem.size()) {
        return std::nullopt;
    }
    NumberedName result{stem.substr(0, stem.size() - digits), extension,
                        std::stol(stem.substr(stem.size() - digits))};
    if (runtime::formatPieceNumber(result.number) != stem.substr(stem.size() - digits)) {
        return std::nullopt; // "0001" is not how the split numbers pieces
    }
    return result;
}

bool isFirstPiece(const std::string& name) {
    const auto numbered = numberedName(name);
    return numbered && numbered->number == 1;
}

bool hasScriptExtension(const std::string& name) {
    if (name.size() < 4) {
        return false;
    }
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return tail == ".BAT";
}

MergeCommand readScriptFile(const std::string& path) {
    if (!runtime::pathExists(path)) {
        fail(ErrorNumber::FileNotFound, "找不到合并脚本", path);
    }
    runtime::File script = runtime::File::openForReading(path);
    if (script.length() > largestScript) {
        fail(ErrorNumber::InvalidArgument, "文件太大，不是合并脚本", path);
    }
    std::string bytes(static_cast<std::size_t>(script.length()), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::size_t n = script.read(bytes.data() + got, bytes.size() - got);
        if (n == 0) {
            break;
        }
        got += n;
    }
    bytes.resize(got);
    script.close();
    try {
        return readMergeScript(runtime::fromScriptEncoding(bytes));
    } catch (const Error& error) {
        fail(error.number(), error.description(), path);
    }
}

// The pieces of a split that travelled without their script.
MergeCommand commandFromFirstPiece(const std::string& folder, const std::string& firstName) {
    const NumberedName first = *numberedName(firstName);
    MergeCommand command;
    for (long i = 1; i <= 32767; ++i) {
        const std::string name = first.base + runtime::formatPieceNumber(i) + first.extension;
        if (!runtime::pathExists(folder + name)) {
            break;
        }
        command.sources.push_back(name);
    }
    // A gap followed by more pieces means one went missing, not that the set ended.
    const auto next = static_cast<long>(command.sources.size()) + 1;
    for (long later = next + 1; later <= next + 50; ++later) {
        const std::string name = first.base + runtime::formatPieceNumber(later) + first.extension;
        if (runtime::pathExists(folder + name)) {
            fail(ErrorNumber::FileNotFound, "缺少分割文件（其后还有" + name + "）",
                 folder + first.base + runtime::formatPieceNumber(next) + first.extension);
        }
    }
    command.target = first.base + first.extension;
    return command;
}

MergeCommand commandFor(const std::string& picked, const std::string& folder) {
    const std::string name = bareName(picked, runtime::nativeSeparator());
    if (!hasScriptExtension(name) && isFirstPiece(name)) {
        const NumberedName first = *numberedName(name);
        for (const char* extension : {".BAT", ".bat"}) {
            const std::string script = folder + first.base + extension;
            if (runtime::pathExists(script)) {
                return readScriptFile(script);
            }
        }
        return commandFromFirstPiece(folder, name);
    }
    return readScriptFile(picked);
}

// Refuses what would lose data or give a corrupt file, before anything is written.
// Returns the pieces' total length.
std::int64_t checkSources(const MergeCommand& command, const std::string& folder) {
    const std::string count =
        runtime::decimalText(static_cast<std::int64_t>(command.sources.size()));
    std::vector<std::int64_t> lengths;
    for (const auto& name : command.sources) {
        const std::string path = folder + name;
        if (!runtime::pathExists(path)) {
            fail(ErrorNumber::FileNotFound, "缺少分割文件（脚本共列出" + count + "个）", path);
        }
        lengths.push_back(runtime::fileLength(path));
        if (runtime::namesEqual(name, command.target)) {
            fail(ErrorNumber::PathFileAccess, "目标文件同时也是要合并的文件", folder + name);
        }
    }
    const auto targetIdentity = runtime::fileIdentity(folder + command.target);
    if (targetIdentity) {
        for (const auto& name : command.sources) {
            if (runtime::fileIdentity(folder + name) == targetIdentity) {
                fail(ErrorNumber::PathFileAccess, "目标文件同时也是要合并的文件", folder + name);
            }
        }
    }

    // Pieces numbered as the split numbers them must have the split's sizes.
    if (command.sources.empty()) {
        fail(ErrorNumber::FileNotFound, "没有找到分割文件", folder + command.target);
    }
    std::int64_t total = 0;
    for (const std::int64_t length : lengths) {
        total += length;
    }
    const auto first = numberedName(command.sources.front());
    if (!first || first->number != 1 || command.sources.size() < 2) {
        return total;
    }
    for (std::size_t i = 0; i < command.sources.size(); ++i) {
        const auto numbered = numberedName(command.sources[i]);
        if (!numbered || numbered->number != static_cast<long>(i + 1) ||
            numbered->base != first->base || numbered->extension != first->extension) {
            return total;
        }
    }
    const std::int64_t pieceSize = lengths.front();
    for (std::size_t i = 1; i + 1 < lengths.size(); ++i) {
        if (lengths[i] != pieceSize) {
            fail(ErrorNumber::InvalidArgument, "分割文件大小与第一个不同，可能已损坏或不完整",
                 folder + command.sources[i]);
        }
    }
    if (lengths.back() == 0 || lengths.back() > pieceSize) {
        fail(ErrorNumber::InvalidArgument, "最后一个分割文件的大小不对，可能已损坏或不完整",
             folder + command.sources.back());
    }
    return total;
}

// A file in the target's folder that is removed unless it is put in place.
class TemporaryTarget {
public:
    explicit TemporaryTarget(const std::string& target) {
        for (int attempt = 0;; ++attempt) {
            path_ = target + ".part" + (attempt ? runtime::decimalText(attempt) : "");
            try {
                file_.emplace(runtime::File::createNew(path_));
                return;
            } catch (const Error&) {
                if (!runtime::pathExists(path_) || attempt > 100) {
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
    std::optional<runtime::File> file_;
    bool placed_ = false;
};

} // namespace

bool MergeIT(Host& host, const std::string& picked) {
    if (picked.empty()) {
        host.showMessage(merge_text::nothingToMerge);
        return false;
    }
    try {
        if (!runtime::pathExists(picked)) {
            fail(ErrorNumber::FileNotFound, "找不到要合并的文件", picked);
        }
        const std::string folder = folderPrefix(picked, runtime::nativeSeparator());
        const MergeCommand command = commandFor(picked, folder);
        const std::int64_t total = checkSources(command, folder);

        const std::string target = folder + command.target;
        TemporaryTarget output(target);
        output.file().reserve(total);
        std::int64_t written = 0;
        runtime::ByteCopier copier;
        PumpThrottle pump(host);
        const auto count = static_cast<std::int64_t>(command.sources.size());
        for (std::int64_t i = 0; i < count; ++i) {
            const std::string path = folder + command.sources[static_cast<std::size_t>(i)];
            runtime::File piece = runtime::File::openForReading(path);
            const std::int64_t length = piece.length();
            copier.copy(piece, output.file(), static_cast<std::uint64_t>(length),
                        [&pump] { pump.pumpIfDue(); });
            written += length;
            piece.close();
            host.setStatus(split_text::processing + path + "  " +
                           runtime::percentText(i + 1, count));
            pump.pumpNow();
        }
        if (written < total) {
            output.file().truncate(written); // a piece shrank since the check: free the rest
        }
        output.putInPlace(target);
        host.setStatus(merge_text::succeeded);
        return true;
    } catch (const Error& error) {
        host.showMessage(split_text::errorPrefix + error.description());
        return false;
    }
}

} // namespace engine
