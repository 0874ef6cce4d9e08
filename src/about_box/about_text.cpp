#include "about_box/about_text.h"

#include "app/app_facts.h"

#include <string>

namespace about_text {

std::string caption() {
    return std::string("关于 ") + app_facts::title;
}

std::string versionLine() {
    return "版本 " + std::to_string(app_facts::versionMajor) + "." +
           std::to_string(app_facts::versionMinor) + "." +
           std::to_string(app_facts::versionRevision);
}

std::string title() {
    return app_facts::title;
}

} // namespace about_text
