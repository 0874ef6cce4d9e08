#pragma once

#include "engine/file_opener.h"
#include "engine/piece_plan.h"

#include <string>

namespace engine {

// A name as the command interpreter must see it: "%" doubled (a batch file expands
// %0 and %NAME%), and in double quotes when it holds a blank or one of & ^ , ; = ( ) +
// (COPY would read "+" as joining two files).
std::string scriptOperand(const std::string& bareName);

// The command interpreter reads at most this many characters of a batch file's line.
inline constexpr std::size_t longestScriptLine = 8191;

// The script's command without its last line end: one line while it fits the command
// interpreter's line,
// COPY/B a001.txt/B+a002.txt/B a.txt/B
// and for a set too long for that, lines of at most longestScriptLine bytes (as UTF-8, never
// fewer than the characters cmd counts), the first writing the target and each next one
// appending more pieces to it (COPY with no destination keeps its first file's name):
// COPY/B a001.txt/B+...+a300.txt/B a.txt/B
// COPY/B a.txt/B+a301.txt/B+...
std::string mergeScriptText(const PiecePlan& plan);

// The lines that switch the command interpreter to code page 936 or to UTF-8. The
// interpreter reads each line of a batch file in the console's code page of the moment,
// so the line after one of these is read in that page on a Windows of any language.
inline constexpr const char* chineseSwitch = "@CHCP 936 >NUL";
inline constexpr const char* utf8Switch = "@CHCP 65001 >NUL";

// The bytes of the script file, the same whichever platform or locale writes them: an
// ASCII text as it is, then CR LF (every code page reads it alike); any other text after
// chineseSwitch in code page 936, or where a name does not fit that page, after
// utf8Switch in UTF-8, so that no split fails because of a name.
std::string mergeScriptBytes(const std::string& text);

// Creates or replaces the script file with the given bytes, whole and flushed.
void writeMergeScript(FileOpener& files, const std::string& path, const std::string& bytes,
                      std::uint32_t permissions = runtime::File::defaultPermissions);

} // namespace engine
