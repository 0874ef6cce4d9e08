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

// The lines that switch the command interpreter to code page 936 or to UTF-8. The
// interpreter reads each line of a batch file in the console's code page of the moment,
// so the line after one of these is read in that page on a Windows of any language.
inline constexpr const char* chineseSwitch = "@CHCP 936 >NUL";
inline constexpr const char* utf8Switch = "@CHCP 65001 >NUL";

// The bytes of the script file, the same whichever platform or locale writes them: an
// ASCII line as it is, then CR LF (every code page reads it alike); any other line after
// chineseSwitch in code page 936, or where a name does not fit that page, after
// utf8Switch in UTF-8, so that no split fails because of a name.
std::string mergeScriptBytes(const std::string& line);

// Creates or replaces the script file with the given bytes, whole and flushed.
void writeMergeScript(FileOpener& files, const std::string& path, const std::string& bytes,
                      std::uint32_t permissions = runtime::File::defaultPermissions);

} // namespace engine
