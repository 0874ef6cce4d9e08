#pragma once

#include "engine/file_opener.h"
#include "engine/piece_plan.h"

#include <string>

namespace engine {

// A name as the command interpreter must see it: "%" doubled (a batch file expands
// %0 and %NAME%), and in double quotes when it holds a blank or one of & ^ , ; = ( ) +
// (COPY would read "+" as joining two files).
std::string scriptOperand(const std::string& bareName);

// The script's one line without its line end:
// COPY/B a001.txt/B+a002.txt/B a.txt/B
std::string mergeScriptLine(const PiecePlan& plan);

// The line that switches the command interpreter to UTF-8.
inline constexpr const char* utf8Switch = "@CHCP 65001 >NUL";

// The bytes of the script file: the line in code page 936 (the system's code page on
// Windows), which Simplified Chinese Windows' command interpreter reads, then CR LF.
// Where a name does not fit that code page, the line in UTF-8 after utf8Switch, so
// that no split fails because of a name.
std::string mergeScriptBytes(const std::string& line);

// Creates or replaces the script file with the given bytes, whole and flushed.
void writeMergeScript(FileOpener& files, const std::string& path, const std::string& bytes,
                      std::uint32_t permissions = runtime::File::defaultPermissions);

} // namespace engine
