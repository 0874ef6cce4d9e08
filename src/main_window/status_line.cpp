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

// The folder with as many of its first and last folders as fit, those between given up
// whole for "…" (C:\\Users\\…\\测试); empty when not even its first one and "…" fit.
std::string elideFolders(const std::string& before, const std::string& folder,
                         const std::string& after,
                         const std::function<bool(const std::string&)>& fits) {
    const char separator = folder.find('\\') != std::string::npos ? '\\' : '/';
    std::vector<std::string> names; // "" first for a path from the root
    std::size_t start = 0;
    for (std::size_t i = 0; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '/' || folder[i] == '\\') {
            names.push_back(folder.substr(start, i - start));
            start = i + 1;
        }
    }
    const auto join = [&](std::size_t from, std::size_t to) {
        std::string text;
        for (std::size_t i = from; i < to; ++i) {
            text += names[i] + separator;
        }
        return text;
    };
    // The first (the drive or the root) stays longest, then the last.
    for (std::size_t keep = names.size() - 1; keep >= 1; --keep) {
        const std::size_t head = (keep + 1) / 2;
        const std::size_t tail = keep - head;
        std::string kept = join(names.size() - tail, names.size());
        if (!kept.empty()) {
            kept.pop_back(); // `after` starts with its own separator
        }
        const std::string shown =
            before + join(0, head) + ellipsis + (kept.empty() ? "" : separator + kept) + after;
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
            const std::string folder = path.substr(0, cut);
            const std::string after = path.substr(cut) + text.substr(percentAt);
            std::string shown = elideFolders(prefix, folder, after, fits);
            if (shown.empty()) {
                shown = elideMiddle(prefix, folder, after, fits);
            }
            if (!shown.empty()) {
                return shown;
            }
        }
    }
    const std::string shown = elideMiddle({}, text, {}, fits);
    return shown.empty() ? ellipsis : shown;
}
