#include "engine/merge_script.h"

#include "engine/atomic_file.h"
#include "runtime/script_encoding.h"

#include <algorithm>

namespace engine {

std::string scriptOperand(const std::string& bareName) {
    std::string operand;
    bool needsQuotes = false;
    for (char c : bareName) {
        if (c == '%') {
            operand += "%%";
            continue;
        }
        if (c == ' ' || c == '&' || c == '^' || c == ',' || c == ';' || c == '=' || c == '(' ||
            c == ')' || c == '+' || c == '\t') {
            needsQuotes = true;
        }
        operand += c;
    }
    return needsQuotes ? "\"" + operand + "\"" : operand;
}

std::string mergeScriptLine(const PiecePlan& plan) {
    std::string line = "COPY/B ";
    for (int i = 1; i <= plan.count; ++i) {
        line += scriptOperand(plan.pieceBareName(i));
        line += i < plan.count ? "/B+" : "/B";
    }
    line += ' ';
    line += scriptOperand(plan.names.targetName());
    line += "/B";
    return line;
}

std::string mergeScriptBytes(const std::string& line) {
    const bool ascii = std::all_of(line.begin(), line.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        return line + "\r\n"; // the same bytes in every code page
    }
    if (auto bytes = runtime::toCodePage(line, runtime::code_page::chinese)) {
        return std::string(chineseSwitch) + "\r\n" + *bytes + "\r\n";
    }
    // A name code page 936 cannot hold: UTF-8, with the interpreter switched to it first.
    return std::string(utf8Switch) + "\r\n" + line + "\r\n";
}

void writeMergeScript(FileOpener& files, const std::string& path, const std::string& bytes,
                      std::uint32_t permissions) {
    // Whole or not at all: half a script would name only some of the pieces.
    writeAtomically(files, path, bytes, permissions);
}

} // namespace engine
