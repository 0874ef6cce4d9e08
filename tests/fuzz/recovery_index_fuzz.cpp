// The recovery-file reader over any bytes: it never reads past them nor sets memory aside for
// lengths they do not hold, and what it gives back is a set it could describe.
#include "engine/par2_reader.h"
#include "fuzz_check.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto read = engine::par2::readRecoveryBytes(bytes, 1 << 20);
    if (read) {
        require(read->set.sliceSize > 0 && read->set.sliceSize % 4 == 0,
                "a set with a slice size of 0 or not a multiple of 4");
        for (const auto& [exponent, data] : read->recovery) {
            (void)exponent;
            require(data.size() == read->set.sliceSize, "recovery data of another size");
        }
    }
    return 0;
}
