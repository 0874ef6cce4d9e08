#include "engine/set_lists.h"

#include "engine/merge_text.h"
#include "engine/other_sets.h"
#include "engine/piece_set.h"
#include "runtime/ascii_case.h"
#include "runtime/path.h"

#include <algorithm>
#include <map>
#include <string_view>

namespace engine {

using runtime::ErrorNumber;

bool isBareName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string::npos;
}

bool sameNames(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), runtime::namesEqual);
}

Result<FoundChecksums> findChecksums(const MergeCommand& command, const Folder& folder,
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
            return refusal(ErrorNumber::InvalidArgument, merge_text::damagedChecksumFile,
                           file->name);
        }
        if (bare &&
            (isNamed || runtime::namesEqual(sums->pieces.front().name, command.sources.front()))) {
            return FoundChecksums{std::move(sums), file};
        }
    }
    return FoundChecksums{};
}

Result<MergeCommand> breakTie(const std::vector<MergeCommand>& commands, const Folder& folder,
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
    return refusal(ErrorNumber::InvalidArgument, merge_text::scriptAmbiguous,
                   commands.front().script);
}

namespace {

// The bytes of a small regular file of the folder, or why they cannot be had.
Result<std::string> smallFile(const ListedFile& file, const FileReader& reader) {
    if (const auto refused = unreadableReason(file)) {
        return *refused;
    }
    if (file.size > largestChecksumFile) {
        return refusal(ErrorNumber::InvalidArgument, merge_text::damagedChecksumFile, file.name);
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
Result<std::optional<SetCheck>> listFileCheck(const Folder& folder, const FileReader& reader,
                                              const std::vector<std::string>& pieces,
                                              const std::string& target) {
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
                return refusal(ErrorNumber::InvalidArgument, merge_text::damagedChecksumFile,
                               file.name);
            }
        }
    }
    return std::optional<SetCheck>();
}

} // namespace

Result<OtherToolList> otherToolList(const std::string& stem, const std::vector<std::string>& pieces,
                                    const Folder& folder, const FileReader& reader) {
    OtherToolList list;
    list.target = stem;
    list.file = folder.find(stem + ".crc");
    if (list.file) {
        const auto bytes = smallFile(*list.file, reader);
        if (!bytes) {
            return bytes.problem();
        }
        const auto crc = readListBytes(bytes.value(), readCrcFile);
        if (!crc) {
            return refusal(ErrorNumber::InvalidArgument, merge_text::damagedChecksumFile,
                           list.file->name);
        }
        list.target = crc->filename;
        list.check = SetCheck{runtime::HashKind::Crc32, {}, crc->crc32, list.file->name};
        list.size = crc->size;
        return list;
    }
    const auto listed = listFileCheck(folder, reader, pieces, list.target);
    if (!listed) {
        return listed.problem();
    }
    list.check = listed.value();
    list.file = list.check ? folder.find(list.check->file) : nullptr;
    return list;
}

} // namespace engine
