#pragma once

#include "engine/file_opener.h"
#include "engine/host.h"
#include "engine/merge_text.h"
#include "engine/result.h"

#include <string>

namespace engine {

// Joins pieces back into their source file. `picked` is a merge script, or the first
// piece of a set (name001.ext); what is joined is decided by decideMerge from the
// picked file's folder before anything is written. The target is written to a
// temporary file in that folder first, so a failed merge leaves an old target
// untouched. Every refusal and failure ends in a message, never in the success text; a
// merge the user stops (the host's RunCancelled) leaves nothing.
RunOutcome MergeIT(Host& host, const std::string& picked, FileOpener& files = systemFiles());

} // namespace engine
