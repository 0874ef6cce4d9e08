#include "runtime/script_encoding.h"

namespace runtime {

EncodedText toScriptEncoding(std::string_view utf8) {
    return {std::string(utf8), {}};
}

std::string fromScriptEncoding(std::string_view bytes) {
    return std::string(bytes);
}

} // namespace runtime
