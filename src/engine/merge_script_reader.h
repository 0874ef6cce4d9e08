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
};

// Reads the text of a merge script (already decoded to UTF-8): one COPY command in
// binary mode, in the form the split writes it or as people write it by hand
// (any case, blanks around "+", "COPY /B a+b c"), CR LF or LF line ends. Names are
// bare file names. Throws Error(InvalidArgument) with a description of what is wrong.
MergeCommand readMergeScript(std::string_view text);

} // namespace engine
