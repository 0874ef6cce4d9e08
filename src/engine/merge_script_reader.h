#pragma once

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

// The texts (UTF-8) a script's bytes may stand for, most likely first: one for a
// script marked by a byte-order mark (UTF-8 or UTF-16); otherwise its UTF-8 reading
// where the bytes are UTF-8, then its code page 936 reading. Empty when none is valid.
std::vector<std::string> scriptTextReadings(std::string_view bytes);

} // namespace engine
