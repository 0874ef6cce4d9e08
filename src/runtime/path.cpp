#include "runtime/path.h"

namespace runtime {

bool isSeparator(char c, PathStyle style) {
    return c == '/' || (style == PathStyle::Windows && c == '\\');
}

PathParts splitPath(const std::string& path, PathStyle style) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1], style)) {
            return {path.substr(0, i), path.substr(i)};
        }
    }
    return {std::string(), path};
}

} // namespace runtime
