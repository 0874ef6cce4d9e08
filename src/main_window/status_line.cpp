#include "main_window/status_line.h"

#include "engine/split_run.h"

#include <vector>

namespace {

const std::string ellipsis = "…";

// UTF-8 text cut into its characters, so that no cut falls inside one.
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t next = i + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) {
            ++next;
        }
        out.push_back(text.substr(i, next - i));
        i = next;
    }
    return out;
}

std::string joined(const std::vector<std::string>& parts, std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t i = from; i < to; ++i) {
        text += parts[i];
    }
    return text;
}

// `middle` with as much of its head and tail as fits between `before` and `after`;
// empty when even the ellipsis alone does not fit.
std::string elideMiddle(const std::string& before, const std::string& middle,
                        const std::string& after,
                        const std::function<bool(const std::string&)>& fits) {
    const auto parts = characters(middle);
    for (std::size_t keep = parts.size(); keep-- > 0;) {
        const std::size_t head = (keep + 1) / 2;
        const std::size_t tail = keep - head;
        const std::string shown = before + joined(parts, 0, head) + ellipsis +
                                  joined(parts, parts.size() - tail, parts.size()) + after;
        if (fits(shown)) {
            return shown;
        }
    }
    return {};
}

} // namespace

std::string shownStatus(const std::string& text,
                        const std::function<bool(const std::string&)>& fits) {
    if (fits(text)) {
        return text;
    }
    const std::string prefix = engine::split_text::processing;
    const auto percentAt = text.rfind("  ");
    if (text.rfind(prefix, 0) == 0 && percentAt != std::string::npos && percentAt > prefix.size()) {
        const std::string path = text.substr(prefix.size(), percentAt - prefix.size());
        const auto cut = path.find_last_of("/\\");
        if (cut != std::string::npos) {
            const std::string shown = elideMiddle(prefix, path.substr(0, cut),
                                                  path.substr(cut) + text.substr(percentAt), fits);
            if (!shown.empty()) {
                return shown;
            }
        }
    }
    const std::string shown = elideMiddle({}, text, {}, fits);
    return shown.empty() ? ellipsis : shown;
}
