#include "runtime/ascii_case.h"
#include "runtime/path.h"
#include "runtime/windows_text.h"

#include <algorithm>
#include <array>

namespace runtime {

PathStyle nativePathStyle() {
    return PathStyle::Windows;
}

char nativeSeparator() {
    return '\\';
}

std::string nativePath(const std::string& path) {
    std::string native = path;
    std::replace(native.begin(), native.end(), '/', '\\');
    return native;
}

namespace {

// Windows drops a name's trailing dots and blanks ("a.txt. " opens a.txt).
std::wstring asWindowsSeesIt(const std::string& name) {
    std::wstring wide = widen(name);
    if (wide == L"." || wide == L"..") {
        return wide;
    }
    while (!wide.empty() && (wide.back() == L'.' || wide.back() == L' ')) {
        wide.pop_back();
    }
    return wide;
}

// Windows' reserved device names (Microsoft's naming rules): CON, PRN, AUX, NUL, COM0-9 and
// LPT0-9 with the superscript digits too, and the console's CONIN$ and CONOUT$; a device
// stays a device with any extension and with blanks before it ("CON .txt").
bool isDeviceName(const std::string& name) {
    std::string stem = upperAscii(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    static const std::array<const char*, 6> devices{"CON", "PRN",    "AUX",
                                                    "NUL", "CONIN$", "CONOUT$"};
    if (std::find(devices.begin(), devices.end(), stem) != devices.end()) {
        return true;
    }
    if (stem.rfind("COM", 0) != 0 && stem.rfind("LPT", 0) != 0) {
        return false;
    }
    const std::string digit = stem.substr(3);
    return (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') || digit == "\xC2\xB9" ||
           digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

} // namespace

std::string nameKey(const std::string& name) {
    const std::wstring wide = asWindowsSeesIt(name);
    if (wide.empty()) {
        return {};
    }
    const int size = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(),
                                   static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr, 0);
    std::wstring upper(static_cast<std::size_t>(size), L'\0');
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(),
                  static_cast<int>(wide.size()), upper.data(), size, nullptr, nullptr, 0);
    return narrow(upper);
}

bool namesEqual(const std::string& a, const std::string& b) {
    const std::wstring first = asWindowsSeesIt(a);
    const std::wstring second = asWindowsSeesIt(b);
    return CompareStringOrdinal(first.data(), static_cast<int>(first.size()), second.data(),
                                static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}

std::optional<std::string> unusableNameReason(const std::string& name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') {
            return "文件名中有控制字符";
        }
    }
    if (name.find_first_of("<>:\"/\\|?*") != std::string::npos) {
        return "文件名中有Windows文件名不能用的字符";
    }
    if (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
        return "文件名以点或空格结尾，Windows会去掉它们，写到另一个文件上";
    }
    if (isDeviceName(name)) {
        return "“" + name + "”是Windows的设备名，不能用作文件名";
    }
    if (widen(name).size() > 255) {
        return "文件名太长（Windows的文件名最多255个字符）";
    }
    return std::nullopt;
}

} // namespace runtime
