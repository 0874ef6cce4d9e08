#include "engine/merge_decision.h"

#include "engine/checksum_file.h"
#include "engine/merge_script_reader.h"
#include "engine/other_sets.h"
#include "engine/piece_set.h"
#include "engine/set_vouchers.h"
#include "runtime/ascii_case.h"
#include "runtime/number_text.h"
#include "runtime/path.h"
#include "runtime/script_encoding.h"

#include <algorithm>
#include <functional>
#include <map>

namespace engine {

namespace {

using runtime::ErrorNumber;

const char* const notAScript = "不是合并脚本。请选择分割时生成的合并脚本（名称.BAT）"
                               "或第一个分割文件（名称001.扩展名）";

using CommandOrRefusal = Result<MergeCommand>;
using CommandsOrRefusal = Result<std::vector<MergeCommand>>;

Problem refusal(ErrorNumber number, std::string description, std::string name = {}) {
    return Problem{Ending::Refused, std::move(description), number, std::move(name)};
}

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
        return refusal(ErrorNumber::FileNotFound, "缺少分割文件（其后还有" + nameOf(highest) + "）",
                       nameOf(count + 1));
    }
    return names;
}

// The pieces of one of this program's sets that travelled without a script that lists them.
CommandOrRefusal numberedPieces(const PieceSet& set, const Folder& folder) {
    auto names = consecutivePieces(
        folder, [&](int k) { return set.pieceName(k); },
        [&](const std::string& name) { return set.pieceNumber(name); });
    if (!names) {
        return names.problem();
    }
    MergeCommand command;
    command.sources = std::move(names.value());
    command.target = set.targetName();
    return command;
}

Problem laterPiece(const std::string& picked, int number, const std::string& first,
                   const std::string& script) {
    return refusal(ErrorNumber::InvalidArgument,
                   "这是第" + runtime::decimalText(number) + "个分割文件。请选择第一个分割文件“" +
                       first + "”" + (script.empty() ? "" : "或合并脚本“" + script + "”"),
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

std::string readingText(const PieceReading& reading) {
    return "“" + reading.set.targetName() + "”的第" + runtime::decimalText(reading.number) +
           "个分割文件";
}

// A piece that the folder's vouchers list: the set they list it in decides.
CommandsOrRefusal claimedPiece(const ListedFile& picked, const std::vector<Claim>& claims,
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
            const CommandsOrRefusal fromScript = readScriptCommands(*file, reader, {}, folder);
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

// What a picked file that is not named as a script stands for.
CommandsOrRefusal commandForOther(const ListedFile& picked, const Folder& folder,
                                  const SetVouchers& vouchers, const FileReader& reader) {
    if (const auto conflict = vouchers.conflict(picked.name)) {
        return *conflict;
    }
    const std::vector<Claim> claims = vouchers.claims(picked.name);
    if (!claims.empty()) {
        return claimedPiece(picked, claims, vouchers, folder, reader);
    }
    // Nothing lists it: a reading counts only where the folder bears it out, and two that
    // it bears out are never guessed between.
    const std::vector<PieceReading> readings = readPieceName(picked.name);
    std::vector<PieceReading> borne;
    for (const auto& reading : readings) {
        if (borneOut(reading, folder)) {
            borne.push_back(reading);
        }
    }
    if (borne.size() > 1) {
        return refusal(ErrorNumber::InvalidArgument,
                       "这个文件名有两种读法：" + readingText(borne[0]) + "，或" +
                           readingText(borne[1]) +
                           "，这里两组的分割文件都有，无法确定该合并哪一组。"
                           "请选择那一组的合并脚本，或把它的校验文件一起拷过来",
                       picked.name);
    }
    if (borne.size() == 1 && borne.front().number == 1) {
        const CommandOrRefusal numbered = numberedPieces(borne.front().set, folder);
        if (!numbered) {
            return numbered.problem();
        }
        return std::vector<MergeCommand>{numbered.value()};
    }
    if (!readings.empty()) {
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
    const PieceSet ownSet = PieceSet::forSource({}, picked.name);
    if (folder.find(ownSet.pieceName(1))) {
        return refusal(ErrorNumber::InvalidArgument,
                       "这是合并后的文件。请选择合并脚本“" + ownSet.scriptName() +
                           "”或第一个分割文件“" + ownSet.pieceName(1) + "”",
                       picked.name);
    }
    // A script under another name, or no script at all.
    CommandsOrRefusal other = readScriptCommands(picked, reader, notAScript, folder);
    if (other) {
        for (MergeCommand& command : other.value()) {
            command.fromScript = true;
        }
    }
    return other;
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

bool isBareName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string::npos;
}

bool sameFile(const ListedFile& file, const std::string& name, const ListedFile* named) {
    return runtime::namesEqual(file.name, name) ||
           (named && named->identity && file.identity == named->identity);
}

// Why the target cannot be written, or nothing: it must be a bare name the program can
// write, not a folder or a device, and not the script or the checksum file of the set
// (in any spelling, or as another link of the same file).
std::optional<Problem> unwritableTarget(const std::string& name, const Folder& folder,
                                        const std::vector<const ListedFile*>& setFiles) {
    if (!isBareName(name)) {
        return refusal(ErrorNumber::InvalidArgument, "合并后的文件名不能带文件夹或驱动器", name);
    }
    if (const auto reason = runtime::unusableNameReason(name)) {
        return refusal(ErrorNumber::InvalidArgument, "合并后的文件名不能用：" + *reason, name);
    }
    if (!runtime::isUtf8(name)) {
        return refusal(ErrorNumber::InvalidArgument,
                       "合并后的文件名不是有效的文字（编码无法识别），请检查合并脚本或校验文件",
                       name);
    }
    if (runtime::isTemporaryName(name)) {
        // The next run's clean-up would take it for a temporary a killed run left.
        return refusal(ErrorNumber::InvalidArgument,
                       "合并后的文件名与本程序的临时文件同名，请把合并脚本中的目标文件改名", name);
    }
    const ListedFile* target = folder.find(name);
    if (target && !target->regular) {
        return refusal(ErrorNumber::NotRegularFile,
                       "合并后的文件名已被文件夹、设备或管道占用，请把它改名后再合并", name);
    }
    for (const ListedFile* file : setFiles) {
        if (file && sameFile(*file, name, target)) {
            return refusal(ErrorNumber::PathFileAccess,
                           "合并后的文件会覆盖这组文件的合并脚本或校验文件本身，请检查合并脚本",
                           file->name);
        }
    }
    return std::nullopt;
}

// Refuses what would lose data or give a corrupt file.
MergeDecision check(const MergeCommand& command, const Folder& folder, const char* listedBy,
                    const std::vector<const ListedFile*>& setFiles, bool numbered = false) {
    const std::string listed =
        std::string("缺少分割文件（") + listedBy + "共列出" +
        runtime::decimalText(static_cast<std::int64_t>(command.sources.size())) + "个）";
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
            return refusal(ErrorNumber::PathFileAccess, "目标文件同时也是要合并的文件", name);
        }
        plan.pieces.push_back({name, piece->size, piece->identity});
        plan.total += piece->size;
    }
    if (plan.pieces.size() >= 2 && (numbered || numberedSet(command.sources))) {
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

bool sameNames(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), runtime::namesEqual);
}

// A set's checksum file and the file it was read from.
struct FoundChecksums {
    std::optional<SetChecksums> sums;
    const ListedFile* file = nullptr;
};
using ChecksumsOrRefusal = Result<FoundChecksums>;

// The set's checksum file: found by the target's name, or else as the .sha256 file of
// the folder that lists the first piece. Only the one by the target's name can stop a
// merge when it cannot be read; any other is someone else's and is passed over.
ChecksumsOrRefusal findChecksums(const MergeCommand& command, const Folder& folder,
                                 const FileReader& reader) {
    const ListedFile* named = folder.find(checksumFileName(command.target));
    std::vector<const ListedFile*> candidates;
    if (named) {
        candidates.push_back(named);
    }
    for (const auto& file : folder.listing()) {
        if (file.name.size() > 7 && runtime::endsWithIgnoringAsciiCase(file.name, ".sha256") &&
            &file != named) {
            candidates.push_back(&file);
        }
    }
    for (const ListedFile* file : candidates) {
        const bool isNamed = file == named;
        std::optional<SetChecksums> sums;
        if (const auto refused = unreadableReason(*file)) {
            if (isNamed) {
                return *refused;
            }
            continue;
        }
        if (file->size <= largestChecksumFile) {
            try {
                sums = readListBytes(reader(file->name), readChecksums);
            } catch (const runtime::Error& error) {
                if (isNamed) {
                    return refusal(error.number(), error.description());
                }
                continue;
            }
        }
        bool bare = sums.has_value() && isBareName(sums->whole.name);
        for (std::size_t i = 0; bare && i < sums->pieces.size(); ++i) {
            bare = isBareName(sums->pieces[i].name);
        }
        if (isNamed && !bare) {
            return refusal(ErrorNumber::InvalidArgument, "校验文件已损坏，无法读取，请重新获取",
                           file->name);
        }
        if (bare &&
            (isNamed || runtime::namesEqual(sums->pieces.front().name, command.sources.front()))) {
            return FoundChecksums{std::move(sums), file};
        }
    }
    return FoundChecksums{};
}

// One of the commands a script may hold: the only one, or of several whose pieces are all
// there, the only one whose pieces are the ones its checksum file lists.
CommandOrRefusal breakTie(const std::vector<MergeCommand>& commands, const Folder& folder,
                          const FileReader& reader) {
    if (commands.size() == 1) {
        return commands.front();
    }
    std::vector<const MergeCommand*> agreeing;
    for (const MergeCommand& command : commands) {
        const auto sums = findChecksums(command, folder, reader);
        if (!sums || !sums.value().sums) {
            continue;
        }
        std::vector<std::string> listed;
        for (const auto& line : sums.value().sums->pieces) {
            listed.push_back(line.name);
        }
        if (sameNames(listed, command.sources)) {
            agreeing.push_back(&command);
        }
    }
    if (agreeing.size() == 1) {
        return *agreeing.front();
    }
    return refusal(ErrorNumber::InvalidArgument,
                   "合并脚本的文字有几种读法，每种都指向这里现有的文件，无法确定该合并哪些。"
                   "请选择第一个分割文件来合并，或把这组文件的校验文件一起拷过来",
                   commands.front().script);
}

// Numbered pieces and nothing that lists them: the set is known to be complete only when it
// ends in a shorter piece.
std::optional<Problem> unproven(const MergePlan& plan) {
    const MergePiece& last = plan.pieces.back();
    if (plan.pieces.size() < 2 || last.size >= plan.pieces.front().size) {
        return refusal(ErrorNumber::FileNotFound,
                       "无法确认这组分割文件是否完整：旁边没有合并脚本和校验文件，"
                       "而最后一个分割文件不比第一个小，后面可能还有分割文件。"
                       "请把整组分割文件连同合并脚本和校验文件一起拷过来",
                       last.name);
    }
    return std::nullopt;
}

using CheckOrRefusal = Result<std::optional<SetCheck>>;

const char* const damagedChecksumFile = "校验文件已损坏，无法读取，请重新获取";

// The bytes of a small regular file of the folder, or why they cannot be had.
Result<std::string> smallFile(const ListedFile& file, const FileReader& reader) {
    if (const auto refused = unreadableReason(file)) {
        return *refused;
    }
    if (file.size > largestChecksumFile) {
        return refusal(ErrorNumber::InvalidArgument, damagedChecksumFile, file.name);
    }
    try {
        return reader(file.name);
    } catch (const runtime::Error& error) {
        return refusal(error.number(), error.description());
    }
}

// What a list of "hash name" lines checks of another tool's set: every piece, or the
// joined file; nothing when it lists neither. The lines are indexed once, so a large set
// and a large list cost their sizes, not their product.
std::optional<SetCheck> listedCheck(const std::vector<ChecksumLine>& lines, runtime::HashKind kind,
                                    const std::vector<std::string>& pieces,
                                    const std::string& target, const std::string& file) {
    std::map<std::string, const std::string*> byName;
    for (const ChecksumLine& line : lines) {
        byName[runtime::nameKey(line.name)] = &line.hex;
    }
    SetCheck check{kind, {}, {}, file};
    for (const std::string& piece : pieces) {
        const auto line = byName.find(runtime::nameKey(piece));
        if (line == byName.end()) {
            check.pieces.clear();
            break;
        }
        check.pieces.push_back(*line->second);
    }
    if (const auto whole = byName.find(runtime::nameKey(target)); whole != byName.end()) {
        check.whole = *whole->second;
    }
    if (check.pieces.empty() && check.whole.empty()) {
        return std::nullopt;
    }
    return check;
}

// Whether a list may be the set's own: named after the joined file or its stem ("x.iso.sfv",
// "x.sfv"), or naming its first piece. Such a list that cannot be read stops the merge; any
// other is someone else's and is passed over.
bool mayBeTheSets(const ListedFile& file, std::size_t extensionSize, const std::string& target,
                  const std::string& firstPiece, const std::string* bytes) {
    const std::string stem = file.name.substr(0, file.name.size() - extensionSize);
    const auto dot = target.rfind('.');
    if (runtime::namesEqual(stem, target) ||
        runtime::namesEqual(stem, PieceSet::forSource({}, target).base()) ||
        (dot != std::string::npos && dot > 0 && runtime::namesEqual(stem, target.substr(0, dot)))) {
        return true;
    }
    return bytes && bytes->find(firstPiece) != std::string::npos;
}

// The first .sfv, .md5 or .sha256 file of the folder that lists the pieces or the target,
// read in any of the fixed readings; with or without a byte-order mark, CR LF or LF.
CheckOrRefusal listFileCheck(const Folder& folder, const FileReader& reader,
                             const std::vector<std::string>& pieces, const std::string& target) {
    struct Kind {
        std::string_view extension;
        runtime::HashKind hash;
    };
    static constexpr Kind kinds[] = {{".sfv", runtime::HashKind::Crc32},
                                     {".md5", runtime::HashKind::Md5},
                                     {".sha256", runtime::HashKind::Sha256}};
    for (const Kind& kind : kinds) {
        for (const ListedFile& file : folder.listing()) {
            if (file.name.size() <= kind.extension.size() ||
                !runtime::endsWithIgnoringAsciiCase(file.name, std::string(kind.extension))) {
                continue;
            }
            const auto bytes = smallFile(file, reader);
            if (!bytes) {
                if (mayBeTheSets(file, kind.extension.size(), target, pieces.front(), nullptr)) {
                    return bytes.problem();
                }
                continue; // someone else's file, perhaps: it checks nothing of this set
            }
            bool read = false;
            std::optional<SetCheck> check;
            forEachListReading(bytes.value(), [&](std::string_view text) {
                const auto lines = kind.hash == runtime::HashKind::Crc32
                                       ? readSfvFile(text)
                                       : readChecksumLines(text, runtime::hexDigits(kind.hash));
                read = read || lines.has_value();
                if (lines) {
                    check = listedCheck(*lines, kind.hash, pieces, target, file.name);
                }
                return check.has_value();
            });
            if (check) {
                return check;
            }
            if (!read &&
                mayBeTheSets(file, kind.extension.size(), target, pieces.front(), &bytes.value())) {
                return refusal(ErrorNumber::InvalidArgument, damagedChecksumFile, file.name);
            }
        }
    }
    return std::optional<SetCheck>();
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

// Another tool's set picked at one of its pieces; nothing when the picked file is not one.
std::optional<MergeDecision> otherToolSet(const ListedFile& picked, const Folder& folder,
                                          const SetVouchers& vouchers, const FileReader& reader) {
    const auto name = readOtherPieceName(picked.name);
    if (!name || ownSetPiece(picked.name, folder, vouchers)) {
        return std::nullopt;
    }
    const std::string& stem = name->stem;
    if (name->number != 1) {
        return MergeDecision(refusal(ErrorNumber::InvalidArgument,
                                     "这是第" + runtime::decimalText(name->number) +
                                         "个分割文件。请选择第一个分割文件“" +
                                         otherPieceName(stem, 1) + "”",
                                     picked.name));
    }
    auto names = consecutivePieces(
        folder, [&](int k) { return otherPieceName(stem, k); },
        [&](const std::string& file) {
            const auto other = readOtherPieceName(file);
            return other && runtime::namesEqual(other->stem, stem) ? other->number : 0;
        });
    if (!names) {
        return MergeDecision(names.problem());
    }
    MergeCommand command;
    command.sources = std::move(names.value());
    // Total Commander's .crc file names the joined file and gives its size and CRC-32.
    command.target = stem;
    std::optional<SetCheck> setCheck;
    std::optional<std::int64_t> size;
    const ListedFile* checkFile = folder.find(stem + ".crc");
    if (checkFile) {
        const auto bytes = smallFile(*checkFile, reader);
        if (!bytes) {
            return MergeDecision(bytes.problem());
        }
        const auto crc = readListBytes(bytes.value(), readCrcFile);
        if (!crc) {
            return MergeDecision(
                refusal(ErrorNumber::InvalidArgument, damagedChecksumFile, checkFile->name));
        }
        command.target = crc->filename;
        setCheck = SetCheck{runtime::HashKind::Crc32, {}, crc->crc32, checkFile->name};
        size = crc->size;
    } else {
        const auto listed = listFileCheck(folder, reader, command.sources, command.target);
        if (!listed) {
            return MergeDecision(listed.problem());
        }
        setCheck = listed.value();
        checkFile = setCheck ? folder.find(setCheck->file) : nullptr;
    }
    MergeDecision decision = check(command, folder, "", {checkFile}, true);
    if (!decision) {
        return decision;
    }
    MergePlan& plan = decision.value();
    if (size && *size != plan.total) {
        return MergeDecision(refusal(ErrorNumber::InvalidArgument,
                                     "分割文件不完整或已损坏：校验文件说合并后的文件有" +
                                         runtime::decimalText(*size) + "字节，而这组分割文件共有" +
                                         runtime::decimalText(plan.total) + "字节",
                                     checkFile->name));
    }
    if (!setCheck) {
        if (const auto refused = unproven(plan)) {
            return MergeDecision(*refused);
        }
    }
    plan.checksums = setCheck;
    return decision;
}

} // namespace

MergeDecision decideMerge(const std::string& picked, const std::vector<ListedFile>& listing,
                          const FileReader& readFile) {
    const Folder folder(listing);
    const ListedFile* pickedFile = folder.find(picked);
    if (!pickedFile) {
        return refusal(ErrorNumber::FileNotFound, "找不到要合并的文件", picked);
    }
    const SetVouchers vouchers(folder, readFile);
    const bool pickedScript = runtime::endsWithIgnoringAsciiCase(picked, ".BAT");
    if (!pickedScript) {
        if (auto other = otherToolSet(*pickedFile, folder, vouchers, readFile)) {
            return std::move(*other);
        }
    }
    const CommandsOrRefusal found = pickedScript
                                        ? readScriptCommands(*pickedFile, readFile, {}, folder)
                                        : commandForOther(*pickedFile, folder, vouchers, readFile);
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
            return refusal(ErrorNumber::InvalidArgument,
                           "合并脚本和校验文件列出的分割文件不一致，请重新获取这组文件",
                           checksumFile->name);
        }
        // The script (or the pieces' names) decides the target; a checksum file that names
        // another file is a disagreement, never a way to write elsewhere.
        if (!runtime::namesEqual(checksums->whole.name, command.target)) {
            return refusal(ErrorNumber::InvalidArgument,
                           "校验文件说合并后的文件是“" + checksums->whole.name + "”，而" +
                               (fromScript ? "合并脚本" : "分割文件的名称") + "说是“" +
                               command.target + "”，两者不一致，请重新获取这组文件",
                           checksumFile->name);
        }
        command.sources = std::move(listed);
    }
    // A piece that another set's voucher lists is that set's, never this one's.
    for (const std::string& source : command.sources) {
        if (const auto claim = vouchers.otherSetsClaim(source, command.target)) {
            return refusal(
                ErrorNumber::InvalidArgument,
                "“" + claim->voucher->file + "”把它列为“" + claim->voucher->target +
                    "”的分割文件，它不属于要合并成“" + command.target +
                    "”的这一组，无法确定它属于哪一组。请把两组文件分开放在不同的文件夹里",
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
