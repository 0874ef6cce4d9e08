#include "main_window/window_rules.h"

#include "engine/split_run.h"
#include "runtime/error.h"
#include "runtime/file.h"
#include "runtime/number_text.h"
#include "runtime/numbers.h"
#include "runtime/path.h"

namespace window_rules {

std::string sizeLine(std::int64_t fileLength) {
    const double kilobytes = runtime::roundHalfEven(static_cast<double>(fileLength) / 1024.0, 2);
    return "文件大小：" + runtime::plainNumberText(kilobytes) + "KBytes";
}

engine::Result<std::string> reportSource(const std::string& path) {
    try {
        return sizeLine(runtime::fileLength(path));
    } catch (const runtime::Error& error) {
        return engine::Problem{engine::Ending::Refused,
                               engine::split_text::errorPrefix + error.description(),
                               error.number()};
    }
}

engine::Result<std::int64_t> startRequest(const std::string& source,
                                          const SizeSelection& selection) {
    if (source.empty()) {
        return engine::Problem{engine::Ending::Refused, noSourceFile};
    }
    return evaluatePieceSize(selection);
}

std::string destinationPrefix(const std::string& dec) {
    const runtime::PathStyle style = runtime::nativePathStyle();
    if (dec.empty() || runtime::isSeparator(dec.back(), style) ||
        (style == runtime::PathStyle::Windows && dec.back() == ':') || !runtime::isDirectory(dec)) {
        return dec;
    }
    return dec + runtime::nativeSeparator();
}

std::string firstDroppedFile(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (runtime::pathExists(path) && !runtime::isDirectory(path)) {
            return path;
        }
    }
    return {};
}

engine::Result<int> recoveryPieces(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return 0;
    }
    const std::string digits = text.substr(first, text.find_last_not_of(' ') + 1 - first);
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9' || value > 3276) {
            return engine::Problem{engine::Ending::Refused, recoveryNotANumber};
        }
        value = value * 10 + (c - '0');
    }
    if (value > 32767) {
        return engine::Problem{engine::Ending::Refused, recoveryNotANumber};
    }
    return value;
}

} // namespace window_rules
