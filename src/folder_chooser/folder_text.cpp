#include "folder_chooser/folder_text.h"

namespace folder_text {

std::string prefixOf(const std::string& folderPath, char separator) {
    if (!folderPath.empty() && folderPath.back() == separator) {
        return folderPath;
    }
    return folderPath + separator;
}

} // namespace folder_text
