#include "runtime/hasher.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using runtime::HashKind;

std::string hashOf(HashKind kind, const std::string& text, std::size_t chunk) {
    runtime::Hasher hash(kind);
    for (std::size_t at = 0; at < text.size(); at += chunk) {
        hash.update(text.data() + at, std::min(chunk, text.size() - at));
    }
    return hash.finish();
}

struct Vector {
    HashKind kind;
    std::string text;
    const char* digest;
};

// The standards' own test vectors (FIPS 180, RFC 1321, the CRC-32 check value), fed whole
// and in odd-sized parts.
TEST(Hasher, GivesTheStandardsDigests) {
    const Vector cases[] = {
        {HashKind::Sha256, "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {HashKind::Sha256, "abc",
         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {HashKind::Sha256, "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {HashKind::Sha256, std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {HashKind::Md5, "", "d41d8cd98f00b204e9800998ecf8427e"},
        {HashKind::Md5, "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {HashKind::Crc32, "", "00000000"},
        {HashKind::Crc32, "123456789", "cbf43926"},
        {HashKind::Crc32, "The quick brown fox jumps over the lazy dog", "414fa339"}};
    for (const auto& [kind, text, digest] : cases) {
        EXPECT_EQ(hashOf(kind, text, text.size() + 1), digest) << runtime::hashName(kind);
        EXPECT_EQ(hashOf(kind, text, 7), digest) << runtime::hashName(kind);
        EXPECT_EQ(std::string(digest).size(), runtime::hexDigits(kind));
    }
}

} // namespace
