// Every form a merge script comes in, read on this platform, for names that move between
// Linux and Windows of any language. The suite runs on Linux and, as a Windows program,
// under a Chinese and an English Windows: together the table of where a set was made
// and where it is merged.
#include "engine/merge_decision.h"
#include "engine/merge_script.h"
#include "engine/piece_plan.h"
#include "runtime/script_encoding.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// UTF-8 to UTF-16LE with its byte-order mark, as Windows editors save "Unicode" text.
std::string utf16WithMark(const std::string& utf8) {
    std::string out = "\xFF\xFE";
    const auto put = [&](std::uint32_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        if (code >= 0x10000) {
            put(0xD800 + ((code - 0x10000) >> 10));
            put(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            put(code);
        }
        i += length;
    }
    return out;
}

// Names that travel: ASCII, Chinese with a blank, Latin-1 (fits code page 936 too), a
// Latin letter 936 lacks, one outside every code page, and characters the script escapes.
const std::string names[] = {
    "plain.txt",     "报告 第1版.doc", "café.txt", "año.txt", "smile\xF0\x9F\x98\x80.txt",
    "名 字 100%.txt"};

// The line in a code page, CR LF after it; nothing where the page cannot hold the name.
std::optional<std::string> inCodePage(const std::string& line, unsigned page,
                                      const char* switchLine = nullptr) {
    auto bytes = runtime::toCodePage(line, page);
    if (!bytes) {
        return std::nullopt;
    }
    return (switchLine ? std::string(switchLine) + "\r\n" : std::string()) + *bytes + "\r\n";
}

// A script's bytes in one of the forms it may arrive in, by who wrote it where.
struct Form {
    const char* name;
    std::optional<std::string> (*bytes)(const std::string& line);
};

const Form forms[] = {
    // This program, on Linux or on a Windows of any language: the same bytes.
    {"ThisProgramAnywhere",
     [](const std::string& line) -> std::optional<std::string> {
         return engine::mergeScriptBytes(line);
     }},
    // Earlier versions: the ANSI page of the Windows they ran on, and UTF-8 on Linux.
    {"OlderOnChineseWindows",
     [](const std::string& line) { return inCodePage(line, runtime::code_page::chinese); }},
    {"OlderOnEnglishWindows",
     [](const std::string& line) { return inCodePage(line, runtime::code_page::westernAnsi); }},
    {"OlderOnLinux",
     [](const std::string& line) -> std::optional<std::string> {
         return std::string(engine::utf8Switch) + "\r\n" + line + "\r\n";
     }},
    // Written by hand in a console (the OEM pages) or an editor.
    {"ConsoleOfAnAmericanWindows",
     [](const std::string& line) { return inCodePage(line, runtime::code_page::unitedStates); }},
    {"ConsoleOfAEuropeanWindows",
     [](const std::string& line) { return inCodePage(line, runtime::code_page::multilingual); }},
    {"Utf8WithoutAnything",
     [](const std::string& line) -> std::optional<std::string> { return line + "\r\n"; }},
    {"Utf8WithMark",
     [](const std::string& line) -> std::optional<std::string> {
         return "\xEF\xBB\xBF" + line + "\r\n";
     }},
    {"Utf16WithMark",
     [](const std::string& line) -> std::optional<std::string> {
         return utf16WithMark(line + "\r\n");
     }},
    {"Latin1DeclaredByChcp", [](const std::string& line) {
         return inCodePage(line, runtime::code_page::westernAnsi, "@chcp 1252 > nul");
     }}};

struct Set {
    engine::PiecePlan plan;
    std::vector<engine::ListedFile> listing;
    std::vector<std::string> pieces;
};

Set setOf(const std::string& name) {
    Set set{engine::makePlan(name, 3, "", 7, runtime::nativePathStyle()), {}, {}};
    for (int k = 1; k <= set.plan.count; ++k) {
        set.pieces.push_back(set.plan.pieceBareName(k));
        set.listing.push_back(
            {set.plan.pieceBareName(k), set.plan.pieceLength(k), true, std::nullopt});
    }
    set.listing.push_back({set.plan.names.scriptName(), 100, true, std::nullopt});
    return set;
}

// Every cell of "made there, merged here": the same fixed list of readings on every
// platform finds the pieces, whoever wrote the script in whichever code page.
TEST(ScriptReading, FindsThePiecesWhateverFormTheScriptCameIn) {
    for (const std::string& name : names) {
        const Set set = setOf(name);
        const std::string line = engine::mergeScriptText(set.plan);
        for (const Form& form : forms) {
            const auto bytes = form.bytes(line);
            if (!bytes) {
                continue; // that code page cannot hold the name
            }
            const auto decision = engine::decideMerge(set.plan.names.scriptName(), set.listing,
                                                      [&](const std::string&) { return *bytes; });
            ASSERT_TRUE(decision) << name << " " << form.name << ": " << decision.problem().message;
            std::vector<std::string> found;
            for (const auto& piece : decision.value().pieces) {
                found.push_back(piece.name);
            }
            EXPECT_EQ(found, set.pieces) << name << " " << form.name;
            EXPECT_EQ(decision.value().target, name) << form.name;
        }
    }
}

TEST(ScriptReading, NamesWhatItLookedForReadablyWhenNoneIsThere) {
    const Set set = setOf("报告.doc");
    const std::string bytes = engine::mergeScriptBytes(engine::mergeScriptText(set.plan));
    const std::vector<engine::ListedFile> listing = {{"报告.BAT", 80, true, std::nullopt}};
    const auto decision =
        engine::decideMerge("报告.BAT", listing, [&](const std::string&) { return bytes; });
    ASSERT_TRUE(!decision.ok());
    EXPECT_EQ(decision.problem().name, "报告001.doc");
}

// "caf\xE9" is café in code page 1252 and cafΘ in 437: with both sets in the folder only
// the checksum file can say which the script means.
TEST(ScriptReading, TwoReadingsThatBothFitAreATieOnlyTheChecksumFileBreaks) {
    const Set latin = setOf("café.txt");
    const Set oem = setOf("caf\xCE\x98.txt"); // cafΘ.txt
    std::vector<engine::ListedFile> listing = latin.listing;
    for (std::size_t i = 0; i < oem.pieces.size(); ++i) {
        listing.push_back(oem.listing[i]);
    }
    const std::string script = *inCodePage(engine::mergeScriptText(latin.plan), 1252);
    const std::string sums = std::string(64, 'a') + "  café001.txt\n" + std::string(64, 'b') +
                             "  café002.txt\n" + std::string(64, 'c') + "  café003.txt\n" +
                             std::string(64, 'd') + "  café.txt\n";
    const auto read = [&](const std::string& file) { return file == "café.BAT" ? script : sums; };
    const auto tie = engine::decideMerge("café.BAT", listing, read);
    ASSERT_FALSE(tie.ok());
    EXPECT_NE(tie.problem().message.find("几种读法"), std::string::npos);

    listing.push_back(
        {"café.txt.sha256", static_cast<std::int64_t>(sums.size()), true, std::nullopt});
    const auto broken = engine::decideMerge("café.BAT", listing, read);
    ASSERT_TRUE(broken) << broken.problem().message;
    EXPECT_EQ(broken.value().target, "café.txt");
    EXPECT_EQ(broken.value().pieces.front().name, "café001.txt");
}

} // namespace
