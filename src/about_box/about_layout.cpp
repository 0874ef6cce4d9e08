#include "about_box/about_layout.h"

#include "about_box/about_text.h"

namespace about_box {

const Label& label(const std::string& name) {
    for (const Label& entry : labels) {
        if (name == entry.name) {
            return entry;
        }
    }
    return labels.front();
}

std::string textOf(Text text) {
    switch (text) {
    case Text::Title:
        return about_text::title();
    case Text::Version:
        return about_text::versionLine();
    case Text::Author:
        return about_text::author;
    case Text::Contact:
        return about_text::contact;
    case Text::Notice:
        return about_text::notice;
    case Text::Icon:
        break;
    }
    return {};
}

double titlePoints(const std::function<bool(double points)>& fits) {
    double points = label("lblTitle").points;
    while (points - 0.75 >= smallestTitlePoints && !fits(points)) {
        points -= 0.75;
    }
    return points;
}

} // namespace about_box
