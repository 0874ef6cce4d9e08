#include "runtime/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string hashOf(const std::string& text, std::size_t chunk) {
    runtime::Sha256 hash;
    for (std::size_t at = 0; at < text.size(); at += chunk) {
        hash.update(text.data() + at, std::min(chunk, text.size() - at));
    }
    return runtime::Sha256::hex(hash.finish());
}

// The standard's own test vectors, fed whole and in odd-sized parts.
TEST(Sha256, GivesTheStandardsDigests) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}};
    for (const auto& [text, digest] : cases) {
        EXPECT_EQ(hashOf(text, text.size() + 1), digest) << text.size();
        EXPECT_EQ(hashOf(text, 7), digest) << text.size();
    }
}

} // namespace
