#include "folder_chooser/folder_text.h"

namespace folder_text {

std::string prefixOf(const std::string& folderPath, char separator) {
    if (!folderPath.empty() && folderPath.back() == separator) {
        return folderPath;
    }
    return folderPath + separator;
}

std::string driveNotReady(const std::string& drive) {
    return "驱动器 " + drive + " 没有准备好或无法访问，请插入磁盘或另选驱动器。";
}

} // namespace folder_text
