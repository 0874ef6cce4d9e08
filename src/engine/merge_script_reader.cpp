#include "engine/merge_script_reader.h"

#include "engine/piece_set.h"
#include "runtime/ascii_case.h"
#include "runtime/error.h"
#include "runtime/path.h"
#include "runtime/script_encoding.h"

#include <algorithm>
#include <cctype>

namespace engine {

namespace {

[[noreturn]] void refuse(const std::string& why) {
    throw runtime::Error(runtime::ErrorNumber::InvalidArgument,
                         "不是可以执行的合并脚本（" + why + "）", {});
}

constexpr char dosEndOfFile = '\x1A';

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// "CHCP 65001 >NUL", "@chcp 936": the line a script may switch the interpreter's code
// page with before its command; gives the page it switches to.
std::optional<unsigned> codePageSwitch(std::string_view line) {
    if (!line.empty() && line.front() == '@') {
        line.remove_prefix(1);
    }
    if (line.size() < 5 || runtime::upperAscii(line[0]) != 'C' ||
        runtime::upperAscii(line[1]) != 'H' || runtime::upperAscii(line[2]) != 'C' ||
        runtime::upperAscii(line[3]) != 'P' || !isBlank(line[4])) {
        return std::nullopt;
    }
    line.remove_prefix(5);
    std::size_t digits = 0;
    unsigned page = 0;
    std::string rest;
    for (const char c : line) {
        if (std::isdigit(static_cast<unsigned char>(c)) && rest.empty() && digits < 6) {
            ++digits;
            page = page * 10 + static_cast<unsigned>(c - '0');
        } else if (!isBlank(c)) {
            rest += runtime::upperAscii(c);
        }
    }
    if (digits == 0 || !(rest.empty() || rest == ">NUL")) {
        return std::nullopt;
    }
    return page;
}

bool isCodePageSwitch(std::string_view line) {
    return codePageSwitch(line).has_value();
}

// Takes the first line off text (CR LF or LF ends it) and returns it without the
// blanks around it.
std::string_view takeLine(std::string_view& text) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    while (!line.empty() && (line.back() == '\r' || isBlank(line.back()))) {
        line.remove_suffix(1);
    }
    while (!line.empty() && isBlank(line.front())) {
        line.remove_prefix(1);
    }
    return line;
}

// The lines that hold the commands; blank lines and code-page switches around them are
// allowed.
std::vector<std::string_view> commandLines(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    // Old DOS editors end a text file with the end-of-file mark ^Z.
    if (!text.empty() && text.back() == dosEndOfFile) {
        text.remove_suffix(1);
    }
    std::vector<std::string_view> found;
    while (!text.empty()) {
        const std::string_view line = takeLine(text);
        if (line.empty() || isCodePageSwitch(line)) {
            continue;
        }
        found.push_back(line);
    }
    if (found.empty()) {
        refuse("脚本是空的");
    }
    return found;
}

void checkName(const std::string& name) {
    if (name.empty()) {
        refuse("文件名为空");
    }
    if (name == "." || name == ".." || name.find_first_of("\\/:") != std::string::npos) {
        refuse("文件名“" + name + "”带有文件夹或驱动器，合并只处理脚本所在文件夹中的文件");
    }
    if (name.find_first_of("*?<>|") != std::string::npos) {
        refuse("文件名“" + name + "”中有通配符或非法字符");
    }
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') {
            refuse("文件名中有控制字符");
        }
    }
}

class CommandParser {
public:
    explicit CommandParser(std::string_view line) : line_(line) {}

    // A first line joins its sources into a target. A next line of a long set's script
    // appends to that target: "COPY/B target/B+more/B+...", with no destination (the
    // joined files then keep the first one's name) or with the target again.
    MergeCommand parse(const std::string* appendingTo = nullptr) {
        readCommandWord();
        // Groups of operands joined by "+"; the blank between groups separates the
        // sources from the destination.
        std::vector<std::vector<std::string>> groups;
        bool joinNext = false;
        for (;;) {
            const bool blankBefore = skipBlanks();
            if (atEnd()) {
                break;
            }
            const char c = line_[pos_];
            if (c == '/') {
                readSwitch();
            } else if (c == '+') {
                if (groups.empty() || joinNext) {
                    refuse("“+”前面缺少文件名");
                }
                ++pos_;
                joinNext = true;
            } else {
                std::string name = readOperand();
                if (joinNext) {
                    groups.back().push_back(std::move(name));
                } else {
                    if (!groups.empty() && !blankBefore) {
                        refuse("文件名之间缺少“+”或空格");
                    }
                    groups.push_back({std::move(name)});
                }
                joinNext = false;
            }
        }
        if (joinNext) {
            refuse("“+”后面缺少文件名");
        }
        if (appendingTo && !groups.empty() && groups.size() <= 2 &&
            runtime::namesEqual(groups[0].front(), *appendingTo) &&
            (groups.size() == 1 ||
             (groups[1].size() == 1 && runtime::namesEqual(groups[1][0], *appendingTo)))) {
            groups[0].erase(groups[0].begin());
            if (groups[0].empty()) {
                refuse("续接的命令没有列出分割文件");
            }
            return MergeCommand{groups[0], *appendingTo, true, {}};
        }
        if (appendingTo) {
            refuse("脚本中有不止一条命令，而后面的命令不是接着前一条合并");
        }
        if (groups.size() < 2) {
            refuse("缺少合并后的目标文件名");
        }
        if (groups.size() > 2 || groups[1].size() != 1) {
            refuse("目标文件名不止一个");
        }
        MergeCommand command{groups[0], groups[1][0], true, {}};
        for (const auto& name : command.sources) {
            checkName(name);
        }
        checkName(command.target);
        return command;
    }

private:
    bool atEnd() const { return pos_ >= line_.size(); }

    bool skipBlanks() {
        const std::size_t start = pos_;
        while (!atEnd() && isBlank(line_[pos_])) {
            ++pos_;
        }
        return pos_ > start;
    }

    void readCommandWord() {
        std::string word;
        while (!atEnd() && std::isalpha(static_cast<unsigned char>(line_[pos_]))) {
            word += runtime::upperAscii(line_[pos_++]);
        }
        if (word != "COPY" || (!atEnd() && line_[pos_] != '/' && !isBlank(line_[pos_]))) {
            refuse("只接受一条 COPY/B 命令");
        }
    }

    void readSwitch() {
        ++pos_;
        const char letter = atEnd() ? '\0' : runtime::upperAscii(line_[pos_]);
        ++pos_;
        const bool endsHere = atEnd() || isBlank(line_[pos_]) || line_[pos_] == '+' ||
                              line_[pos_] == '/' || line_[pos_] == '"';
        if (letter == 'A' && endsHere) {
            refuse("不支持文本方式 /A，只能按二进制 /B 合并");
        }
        if ((letter != 'B' && letter != 'Y') || !endsHere) {
            refuse("不认识的开关");
        }
    }

    std::string readOperand() {
        std::string name;
        bool quoted = false;
        while (!atEnd()) {
            const char c = line_[pos_];
            if (c == '"') {
                quoted = !quoted;
                ++pos_;
                continue;
            }
            if (!quoted && (isBlank(c) || c == '+' || c == '/')) {
                break;
            }
            if (c == '%') {
                // A batch file reads "%%" as one "%"; a lone one starts a variable.
                if (pos_ + 1 < line_.size() && line_[pos_ + 1] == '%') {
                    name += '%';
                    pos_ += 2;
                    continue;
                }
                refuse("文件名中有未加倍的“%”");
            }
            if (!quoted && (c == '&' || c == '|' || c == '<' || c == '>' || c == '^')) {
                refuse("命令中有“" + std::string(1, c) + "”，脚本里不止一条命令");
            }
            if (!quoted && (c == ',' || c == ';' || c == '=')) {
                // The command interpreter splits operands there.
                refuse("文件名中的“" + std::string(1, c) + "”需要加引号");
            }
            name += c;
            ++pos_;
        }
        if (quoted) {
            refuse("引号没有配对");
        }
        return name;
    }

    std::string_view line_;
    std::size_t pos_ = 0;
};

} // namespace

std::optional<unsigned> declaredCodePage(std::string_view bytes) {
    // The switch is ASCII in every code page a script may be in.
    while (!bytes.empty()) {
        const std::string_view line = takeLine(bytes);
        if (!line.empty()) {
            return codePageSwitch(line);
        }
    }
    return std::nullopt;
}

bool forEachTextReading(std::string_view bytes,
                        const std::function<bool(const ScriptReading&)>& take) {
    const auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    // A byte-order mark says what the text is.
    if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
        const bool bigEndian = starts("\xFE\xFF");
        const auto text = runtime::fromUtf16(bytes.substr(2), bigEndian);
        return text && take({bigEndian ? 1201u : 1200u, *text});
    }
    if (starts("\xEF\xBB\xBF")) {
        const std::string_view rest = bytes.substr(3);
        return runtime::isUtf8(rest) && take({runtime::code_page::utf8, std::string(rest)});
    }
    // Otherwise the same list everywhere: what the script declares, then the pages scripts
    // are written in, then the Latin pages of English and European Windows, then the
    // system's own. The merge takes the reading whose pieces are all there.
    namespace cp = runtime::code_page;
    std::vector<unsigned> pages;
    if (const auto declared = declaredCodePage(bytes)) {
        pages.push_back(*declared);
    }
    pages.insert(pages.end(),
                 {cp::utf8, cp::chinese, cp::westernAnsi, cp::unitedStates, cp::multilingual});
    for (const unsigned page : runtime::systemCodePages()) {
        pages.push_back(page);
    }
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const unsigned page = pages[i];
        if (std::find(pages.begin(), pages.begin() + static_cast<std::ptrdiff_t>(i), page) !=
            pages.begin() + static_cast<std::ptrdiff_t>(i)) {
            continue;
        }
        std::optional<std::string> text;
        if (page == cp::utf8) {
            text = runtime::isUtf8(bytes) ? std::optional<std::string>(bytes) : std::nullopt;
        } else {
            text = runtime::fromCodePage(bytes, page);
        }
        if (text && take({page, std::move(*text)})) {
            return true;
        }
    }
    return false;
}

std::vector<ScriptReading> scriptTextReadings(std::string_view bytes) {
    std::vector<ScriptReading> readings;
    forEachTextReading(bytes, [&](const ScriptReading& reading) {
        readings.push_back(reading);
        return false;
    });
    return readings;
}

MergeCommand readMergeScript(std::string_view text) {
    const std::vector<std::string_view> lines = commandLines(text);
    MergeCommand command = CommandParser(lines.front()).parse();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const MergeCommand next = CommandParser(lines[i]).parse(&command.target);
        for (const std::string& name : next.sources) {
            checkName(name);
        }
        command.sources.insert(command.sources.end(), next.sources.begin(), next.sources.end());
        if (command.sources.size() > static_cast<std::size_t>(maxPieceCount)) {
            break;
        }
    }
    if (command.sources.size() > static_cast<std::size_t>(maxPieceCount)) {
        refuse("列出的文件超过32767个");
    }
    return command;
}

} // namespace engine
