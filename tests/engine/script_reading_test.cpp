// Every form a merge script comes in, read on this platform, for names that move
// between Linux and Chinese Windows.
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

const std::string names[] = {"plain.txt", "报告.doc", "smile\xF0\x9F\x98\x80.txt",
                             "名 字 100%.txt"};

// A script's bytes in one of the forms it may arrive in; nothing where the form
// cannot hold the name.
struct Form {
    const char* name;
    std::optional<std::string> (*bytes)(const std::string& line);
};

const Form forms[] = {
    {"AsThisProgramWritesIt",
     [](const std::string& line) -> std::optional<std::string> {
         return engine::mergeScriptBytes(line);
     }},
    {"CodePage936",
     [](const std::string& line) -> std::optional<std::string> {
         auto bytes = runtime::toScriptCodePage(line);
         return bytes ? std::optional(*bytes + "\r\n") : std::nullopt;
     }},
    {"Utf8", [](const std::string& line) -> std::optional<std::string> { return line + "\r\n"; }},
    {"Utf8WithMark",
     [](const std::string& line) -> std::optional<std::string> {
         return "\xEF\xBB\xBF" + line + "\r\n";
     }},
    {"Utf16WithMark",
     [](const std::string& line) -> std::optional<std::string> {
         return utf16WithMark(line + "\r\n");
     }},
    {"Utf8AfterChcp", [](const std::string& line) -> std::optional<std::string> {
         return "@chcp 65001 > nul\r\n" + line + "\r\n";
     }}};

TEST(ScriptReading, FindsThePiecesWhateverFormTheScriptCameIn) {
    for (const std::string& name : names) {
        const auto plan = engine::makePlan(name, 3, "", 7, runtime::nativePathStyle());
        const std::string line = engine::mergeScriptLine(plan);
        std::vector<engine::ListedFile> listing;
        std::vector<std::string> pieces;
        for (int k = 1; k <= plan.count; ++k) {
            pieces.push_back(plan.pieceBareName(k));
            listing.push_back({plan.pieceBareName(k), plan.pieceLength(k), true, std::nullopt});
        }
        listing.push_back({plan.names.scriptName(), 100, true, std::nullopt});
        for (const Form& form : forms) {
            const auto bytes = form.bytes(line);
            if (!bytes) {
                continue;
            }
            const auto decision = engine::decideMerge(plan.names.scriptName(), listing,
                                                      [&](const std::string&) { return *bytes; });
            ASSERT_TRUE(decision) << name << " " << form.name << ": " << decision.problem().message;
            const engine::MergePlan* merge = &decision.value();
            std::vector<std::string> found;
            for (const auto& piece : merge->pieces) {
                found.push_back(piece.name);
            }
            EXPECT_EQ(found, pieces) << name << " " << form.name;
            EXPECT_EQ(merge->target, name) << form.name;
        }
    }
}

TEST(ScriptReading, NamesWhatItLookedForReadablyWhenNoneIsThere) {
    const auto plan = engine::makePlan("报告.doc", 3, "", 7, runtime::nativePathStyle());
    const std::string bytes = *runtime::toScriptCodePage(engine::mergeScriptLine(plan)) + "\r\n";
    const std::vector<engine::ListedFile> listing = {{"报告.BAT", 80, true, std::nullopt}};
    const auto decision =
        engine::decideMerge("报告.BAT", listing, [&](const std::string&) { return bytes; });
    ASSERT_TRUE(!decision.ok());
    EXPECT_EQ(decision.problem().name, "报告001.doc");
}

} // namespace
