#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>

namespace runtime {

// SHA-256 from the platform's own cryptography: OpenSSL's libcrypto on Linux (with
// the processor's SHA instructions where it has them), CNG on Windows.
class Sha256 {
public:
    using Digest = std::array<unsigned char, 32>;

    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void update(const void* data, std::size_t size);
    // The digest of everything given; the object is spent afterwards.
    Digest finish();

    // The digest as sha256sum writes it: 64 lower-case hexadecimal digits.
    static std::string hex(const Digest& digest);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace runtime
