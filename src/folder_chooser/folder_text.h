#pragma once

#include <string>

// The folder chooser's rule for its text field, whichever toolkit draws it.
namespace folder_text {

// The open folder as a folder prefix: its path with exactly one separator at its end
// ("E:\data" -> "E:\data\"; a drive's root "E:\" stays "E:\", not "E:\\").
std::string prefixOf(const std::string& folderPath, char separator);

// The message when the drive picked in the drive list cannot be read.
std::string driveNotReady(const std::string& drive);

} // namespace folder_text
