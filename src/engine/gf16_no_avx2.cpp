// A build without the AVX2 path: MinGW's GCC does not align the stack for 32-byte spills.
#include "engine/gf16_paths.h"

namespace engine::gf16 {

bool processorHasAvx2() {
    return false;
}

void multiplyAddAvx2(std::uint8_t* target, const std::uint8_t* source, std::size_t size,
                     const ProductTables& products) {
    multiplyAddSsse3(target, source, size, products);
}

} // namespace engine::gf16
