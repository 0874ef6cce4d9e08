#include "runtime/hasher.h"

#include "runtime/crypto_hash.h"

#include <algorithm>
#include <zlib.h>

namespace runtime {

namespace {

std::string hexOf(const std::string& bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}

} // namespace

const char* hashName(HashKind kind) {
    switch (kind) {
    case HashKind::Md5:
        return "MD5";
    case HashKind::Crc32:
        return "CRC-32";
    case HashKind::Sha256:
        break;
    }
    return "SHA-256";
}

std::size_t hexDigits(HashKind kind) {
    switch (kind) {
    case HashKind::Md5:
        return 32;
    case HashKind::Crc32:
        return 8;
    case HashKind::Sha256:
        break;
    }
    return 64;
}

Hasher::Hasher(HashKind kind) : kind_(kind) {
    if (kind == HashKind::Crc32) {
        crc_ = static_cast<std::uint32_t>(::crc32(0L, Z_NULL, 0));
    } else {
        crypto_ = std::make_unique<Crypto>(kind);
    }
}

Hasher::~Hasher() = default;

void Hasher::update(const void* data, std::size_t size) {
    if (crypto_) {
        crypto_->update(data, size);
        return;
    }
    const auto* bytes = static_cast<const Bytef*>(data);
    while (size > 0) { // zlib's lengths are 32-bit
        const auto part = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
        crc_ = static_cast<std::uint32_t>(::crc32(crc_, bytes, part));
        bytes += part;
        size -= part;
    }
}

std::string Hasher::finish() {
    return hexOf(digest());
}

std::string Hasher::digest() {
    if (crypto_) {
        return crypto_->finish();
    }
    std::string bigEndian(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bigEndian[static_cast<std::size_t>(i)] = static_cast<char>((crc_ >> (24 - 8 * i)) & 0xFF);
    }
    return bigEndian;
}

} // namespace runtime
