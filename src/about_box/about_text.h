#pragma once

#include <string>

// The About box's texts, whichever toolkit draws it.
namespace about_text {

std::string caption();     // "关于 " and the application title
std::string versionLine(); // "版本 2.0.0"
std::string title();       // the application title

// The notice line; the author and e-mail lines stay empty, there being no person or
// address to name.
inline constexpr const char* notice = "本软件按原样提供，分割重要文件前请先备份。";

} // namespace about_text
