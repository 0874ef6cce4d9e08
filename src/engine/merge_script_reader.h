#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// The one command a merge script carries: join these files, in order, into a target.
struct MergeCommand {
    std::vector<std::string> sources;
    std::string target;
    bool fromScript = false; // read from a script, not made from numbered pieces
    std::string script;      // the script's bare name, when read from one
};

// Reads the text of a merge script (already decoded to UTF-8): a CHCP line may come
// first, then one COPY command in
// binary mode, in the form the split writes it or as people write it by hand
// (any case, blanks around "+", "COPY /B a+b c"), CR LF or LF line ends. Names are
// bare file names. Throws Error(InvalidArgument) with a description of what is wrong.
MergeCommand readMergeScript(std::string_view text);

// One way to read a script's bytes: the code page (1200 and 1201 for UTF-16 little- and
// big-endian) and the text it gives, in UTF-8.
struct ScriptReading {
    unsigned codePage = 0;
    std::string text;
};

// The code page a script's first line switches the interpreter to ("@CHCP 936 >NUL").
std::optional<unsigned> declaredCodePage(std::string_view bytes);

// Every valid reading of a script's bytes, most likely first and one per code page: the
// mark's alone for a script with a byte-order mark (UTF-8 or UTF-16); otherwise, in this
// order on every platform, the page its CHCP line declares, UTF-8, 936, 1252, 437, 850,
// and then the system's own pages (on Windows its ANSI and OEM pages).
std::vector<ScriptReading> scriptTextReadings(std::string_view bytes);
// The same readings one at a time, made only as they are asked for: stops at the first
// that `take` takes (returns true), and says whether one was taken.
bool forEachTextReading(std::string_view bytes,
                        const std::function<bool(const ScriptReading&)>& take);

} // namespace engine
