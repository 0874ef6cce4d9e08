#pragma once

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

// A name as the file system compares it: ASCII case folded on Windows, unchanged elsewhere.
std::string nameKey(const std::string& name);
// True when two bare names name the same file on this platform's file systems.
bool namesEqual(const std::string& a, const std::string& b);

} // namespace runtime
