#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// What must hold for every input; a broken rule stops the fuzzer with its reason.
inline void require(bool holds, const char* rule, std::string_view detail = {}) {
    if (!holds) {
        std::fprintf(stderr, "rule broken: %s [%.*s]\n", rule, static_cast<int>(detail.size()),
                     detail.data());
        std::abort();
    }
}

inline bool isBare(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string::npos;
}
