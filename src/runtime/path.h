#pragma once

#include <optional>
#include <string>

namespace runtime {

// How a platform spells paths: POSIX takes "/" only; Windows takes "\" and "/" alike
// and writes "\", and its file systems fold the case of names.
enum class PathStyle { Posix, Windows };

PathStyle nativePathStyle();
// The separator the platform writes: '\\' on Windows, '/' elsewhere.
char nativeSeparator();
bool isSeparator(char c, PathStyle style);

// A path cut at its last separator: folder keeps that separator ("D:\in\"), name is what
// follows ("a.txt"). Without a separator the folder is empty and the name is the path.
struct PathParts {
    std::string folder;
    std::string name;
};
PathParts splitPath(const std::string& path, PathStyle style);

// The path with the platform's own separators ("D:/x/a.BAT" -> "D:\x\a.BAT" on Windows).
std::string nativePath(const std::string& path);

// A name as the file system compares it: unchanged on POSIX; on Windows without the
// trailing dots and blanks Windows drops, and upper-cased by the system's own rules.
std::string nameKey(const std::string& name);
// True when two bare names name the same file on this platform's file systems (on
// Windows by CompareStringOrdinal, ignoring case as its file systems do).
bool namesEqual(const std::string& a, const std::string& b);
// Why a bare name cannot be a file this program writes, or nothing when it can: a
// control character anywhere, or more than a file system's 255 (bytes on POSIX, UTF-16
// units on Windows); on Windows also a trailing dot or blank (dropped by the system, so
// the name would land on another file), a device name (CON, NUL, COM1, COM¹, CONIN$ ...,
// with any extension), or a character Windows names cannot hold.
std::optional<std::string> unusableNameReason(const std::string& name);

} // namespace runtime
