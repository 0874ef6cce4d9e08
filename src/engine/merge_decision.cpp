#include "engine/merge_decision.h"

#include "engine/merge_script_reader.h"
#include "engine/piece_set.h"
#include "runtime/number_text.h"
#include "runtime/path.h"

#include <algorithm>
#include <map>

namespace engine {

namespace {

using runtime::ErrorNumber;

// A script is one line; a larger file is not one, and is not read into memory.
constexpr std::int64_t largestScript = 16 << 20;
// The longest name the file systems take: 255 bytes on ext4, 255 UTF-16 units on
// NTFS, and UTF-8 never takes fewer bytes than UTF-16 takes units.
constexpr std::size_t longestName = 255;

const char* const notAScript = "不是合并脚本。请选择分割时生成的合并脚本（名称.BAT）"
                               "或第一个分割文件（名称001.扩展名）";

std::string upperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

bool hasScriptExtension(const std::string& name) {
    return name.size() >= 4 && upperAscii(name.substr(name.size() - 4)) == ".BAT";
}

// The folder's files by name, as its file system compares names.
class Folder {
public:
    explicit Folder(const std::vector<ListedFile>& listing) : listing_(listing) {
        for (const auto& file : listing) {
            byKey_.emplace(runtime::nameKey(file.name), &file);
        }
    }
    const ListedFile* find(const std::string& name) const {
        const auto found = byKey_.find(runtime::nameKey(name));
        return found == byKey_.end() ? nullptr : found->second;
    }
    // A script is found in any case of ".BAT", as the command interpreter finds it.
    const ListedFile* findScript(const std::string& scriptName) const {
        for (const auto& file : listing_) {
            if (upperAscii(file.name) == upperAscii(scriptName)) {
                return &file;
            }
        }
        return nullptr;
    }
    const std::vector<ListedFile>& listing() const { return listing_; }

private:
    const std::vector<ListedFile>& listing_;
    std::map<std::string, const ListedFile*> byKey_;
};

using CommandOrRefusal = std::variant<MergeCommand, MergeRefusal>;

MergeRefusal refusal(ErrorNumber number, std::string description, std::string name = {}) {
    return MergeRefusal{number, std::move(description), std::move(name)};
}

// The command a script holds, or why it holds none.
CommandOrRefusal readScript(const ListedFile& script, const ScriptReader& reader,
                            const std::string& whenNotOne) {
    if (script.size > largestScript) {
        return refusal(ErrorNumber::InvalidArgument,
                       whenNotOne.empty() ? "文件太大，不是合并脚本" : whenNotOne, script.name);
    }
    std::string text;
    try {
        text = reader(script.name);
    } catch (const runtime::Error& error) {
        return refusal(error.number(), error.description());
    }
    try {
        return readMergeScript(text);
    } catch (const runtime::Error& error) {
        return refusal(error.number(), whenNotOne.empty() ? error.description() : whenNotOne,
                       script.name);
    }
}

bool lists(const MergeCommand& command, const std::string& name) {
    return std::any_of(
        command.sources.begin(), command.sources.end(),
        [&](const std::string& source) { return runtime::namesEqual(source, name); });
}

// The pieces of a set that travelled without a script that lists them: 001, 002, ...
// as long as they follow one another.
CommandOrRefusal numberedPieces(const PieceSet& set, const Folder& folder) {
    MergeCommand command;
    while (folder.find(set.pieceName(static_cast<int>(command.sources.size()) + 1))) {
        command.sources.push_back(set.pieceName(static_cast<int>(command.sources.size()) + 1));
    }
    // A higher piece after the run means one went missing, not that the set ended.
    int highest = 0;
    for (const auto& file : folder.listing()) {
        highest = std::max(highest, set.pieceNumber(file.name));
    }
    const int count = static_cast<int>(command.sources.size());
    if (highest > count) {
        return refusal(ErrorNumber::FileNotFound,
                       "缺少分割文件（其后还有" + set.pieceName(highest) + "）",
                       set.pieceName(count + 1));
    }
    command.target = set.targetName();
    return command;
}

// What a picked file that is not named as a script stands for.
CommandOrRefusal commandForOther(const ListedFile& picked, const Folder& folder,
                                 const ScriptReader& reader) {
    const std::vector<PieceReading> readings = readPieceName(picked.name);
    for (const auto& reading : readings) {
        if (reading.number != 1) {
            continue;
        }
        if (const ListedFile* script = folder.findScript(reading.set.scriptName())) {
            const CommandOrRefusal fromScript = readScript(*script, reader, {});
            // The script beside it may belong to another source of the same base name.
            if (const auto* command = std::get_if<MergeCommand>(&fromScript);
                command && lists(*command, picked.name)) {
                return *command;
            }
        }
        return numberedPieces(reading.set, folder);
    }
    if (!readings.empty()) {
        auto reading = readings.front();
        for (const auto& candidate : readings) {
            if (folder.find(candidate.set.pieceName(1))) {
                reading = candidate;
                break;
            }
        }
        return refusal(ErrorNumber::InvalidArgument,
                       "这是第" + runtime::decimalText(reading.number) +
                           "个分割文件。请选择第一个分割文件“" + reading.set.pieceName(1) +
                           "”或合并脚本“" + reading.set.scriptName() + "”",
                       picked.name);
    }
    const PieceSet ownSet = PieceSet::forSource({}, picked.name);
    if (folder.find(ownSet.pieceName(1))) {
        return refusal(ErrorNumber::InvalidArgument,
                       "这是合并后的文件。请选择合并脚本“" + ownSet.scriptName() +
                           "”或第一个分割文件“" + ownSet.pieceName(1) + "”",
                       picked.name);
    }
    // A script under another name, or no script at all.
    return readScript(picked, reader, notAScript);
}

// The set whose pieces 1, 2, ... the sources are, in order; nothing when they are not.
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

// Refuses what would lose data or give a corrupt file.
MergeDecision check(const MergeCommand& command, const Folder& folder) {
    const std::string listed =
        "缺少分割文件（脚本共列出" +
        runtime::decimalText(static_cast<std::int64_t>(command.sources.size())) + "个）";
    MergePlan plan;
    plan.target = command.target;
    const ListedFile* target = folder.find(command.target);
    for (const auto& name : command.sources) {
        const ListedFile* piece = folder.find(name);
        if (!piece) {
            return refusal(ErrorNumber::FileNotFound, listed, name);
        }
        if (!piece->regular) {
            return refusal(ErrorNumber::PathFileAccess,
                           runtime::describe(ErrorNumber::PathFileAccess), name);
        }
        if (runtime::namesEqual(name, command.target) ||
            (target && target->identity && piece->identity == target->identity)) {
            return refusal(ErrorNumber::PathFileAccess, "目标文件同时也是要合并的文件", name);
        }
        plan.pieces.push_back({name, piece->size});
        plan.total += piece->size;
    }
    if (plan.pieces.size() >= 2 && numberedSet(command.sources)) {
        // Pieces numbered as the split numbers them must have the split's sizes.
        const std::int64_t pieceSize = plan.pieces.front().size;
        for (std::size_t i = 1; i + 1 < plan.pieces.size(); ++i) {
            if (plan.pieces[i].size != pieceSize) {
                return refusal(ErrorNumber::InvalidArgument,
                               "分割文件大小与第一个不同，可能已损坏或不完整", plan.pieces[i].name);
            }
        }
        const MergePiece& last = plan.pieces.back();
        if (last.size == 0 || last.size > pieceSize) {
            return refusal(ErrorNumber::InvalidArgument,
                           "最后一个分割文件的大小不对，可能已损坏或不完整", last.name);
        }
    }
    return plan;
}

} // namespace

MergeDecision decideMerge(const std::string& picked, const std::vector<ListedFile>& listing,
                          const ScriptReader& readScriptText) {
    const Folder folder(listing);
    const ListedFile* pickedFile = folder.find(picked);
    if (!pickedFile || !pickedFile->regular) {
        return refusal(ErrorNumber::FileNotFound, "找不到要合并的文件", picked);
    }
    const CommandOrRefusal command = hasScriptExtension(picked)
                                         ? readScript(*pickedFile, readScriptText, {})
                                         : commandForOther(*pickedFile, folder, readScriptText);
    if (const auto* refused = std::get_if<MergeRefusal>(&command)) {
        return *refused;
    }
    return check(std::get<MergeCommand>(command), folder);
}

std::string temporaryName(const std::string& target, int attempt) {
    const std::string suffix = ".part" + (attempt > 0 ? runtime::decimalText(attempt) : "");
    if (target.size() + suffix.size() <= longestName) {
        return target + suffix;
    }
    // Cut at a character's first byte, and mark the cut, so the name is still readable.
    std::size_t keep = longestName - suffix.size() - 1;
    while (keep > 0 && (static_cast<unsigned char>(target[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    return target.substr(0, keep) + "~" + suffix;
}

} // namespace engine
