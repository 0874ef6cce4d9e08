#pragma once

#include <string>

// The About box's texts, whichever toolkit draws it.
namespace about_text {

std::string caption();     // "关于 " and the application title
std::string versionLine(); // "版本 2.0.0"
std::string title();       // the application title

// The author line names the team, not a person; the contact line says where to report a
// problem (there is no public address: to whoever handed the program on); the notice line
// is one line.
inline constexpr const char* author = "Corvane 开发组";
inline constexpr const char* contact = "问题请告知本程序的提供者";
inline constexpr const char* notice = "本软件按原样提供，分割重要文件前请先备份。";

} // namespace about_text
