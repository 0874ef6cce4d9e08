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

std::string mergeScriptText(const PiecePlan& plan) {
    const std::string target = scriptOperand(plan.names.targetName()) + "/B";
    std::string text;
    std::string line = "COPY/B ";
    bool firstLine = true;
    int piecesOnLine = 0;
    for (int i = 1; i <= plan.count; ++i) {
        const std::string operand = scriptOperand(plan.pieceBareName(i)) + "/B";
        const std::size_t closing = firstLine ? 1 + target.size() : 0;
        if (piecesOnLine > 0 && line.size() + 1 + operand.size() + closing > longestScriptLine) {
            // Full: the rest is appended to the target on the next line.
            text += line + (firstLine ? " " + target : std::string()) + "\r\n";
            line = "COPY/B " + target;
            firstLine = false;
            piecesOnLine = 0;
        }
        if (line.size() > 7) {
            line += '+';
        }
        line += operand;
        ++piecesOnLine;
    }
    return text + line + (firstLine ? " " + target : std::string());
}

std::string mergeScriptBytes(const std::string& text) {
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        return text + "\r\n"; // the same bytes in every code page
    }
    if (auto bytes = runtime::toCodePage(text, runtime::code_page::chinese)) {
        return std::string(chineseSwitch) + "\r\n" + *bytes + "\r\n";
    }
    // A name code page 936 cannot hold: UTF-8, with the interpreter switched to it first.
    return std::string(utf8Switch) + "\r\n" + text + "\r\n";
}

void writeMergeScript(FileOpener& files, const std::string& path, const std::string& bytes,
                      std::uint32_t permissions) {
    // Whole or not at all: half a script would name only some of the pieces.
    writeAtomically(files, path, bytes, permissions);
}

} // namespace engine
