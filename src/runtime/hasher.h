#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace runtime {

// The hashes checksum files carry: SHA-256 (this program's own, sha256sum's), MD5
// (md5sum's) and CRC-32 (the .sfv and .crc files of other splitters).
enum class HashKind { Sha256, Md5, Crc32 };

// The hash's name as messages give it ("SHA-256", "MD5", "CRC-32").
const char* hashName(HashKind kind);
// How many hexadecimal digits the hash is written in (64, 32, 8).
std::size_t hexDigits(HashKind kind);

// The platform's cryptography for SHA-256 and MD5 (OpenSSL's libcrypto on Linux, with the
// processor's SHA instructions where it has them; CNG on Windows), zlib for CRC-32.
class Hasher {
public:
    explicit Hasher(HashKind kind = HashKind::Sha256);
    ~Hasher();
    Hasher(const Hasher&) = delete;
    Hasher& operator=(const Hasher&) = delete;

    HashKind kind() const { return kind_; }
    void update(const void* data, std::size_t size);
    // The hash of everything given, in lower-case hexadecimal as sha256sum, md5sum and
    // .sfv files write it (CRC-32 as its number, most significant digit first). The
    // object is spent afterwards.
    std::string finish();
    // The same as raw bytes (CRC-32 as its four bytes, most significant first), as binary
    // formats such as PAR 2.0 carry it. The object is spent afterwards.
    std::string digest();

private:
    class Crypto;
    HashKind kind_;
    std::unique_ptr<Crypto> crypto_;
    std::uint32_t crc_ = 0;
};

} // namespace runtime
