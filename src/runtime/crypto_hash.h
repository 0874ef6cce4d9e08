#pragma once

#include "runtime/hasher.h"

#include <string>

namespace runtime {

// The platform's SHA-256 and MD5, behind Hasher.
class Hasher::Crypto {
public:
    explicit Crypto(HashKind kind);
    ~Crypto();
    Crypto(const Crypto&) = delete;
    Crypto& operator=(const Crypto&) = delete;
    void update(const void* data, std::size_t size);
    // The digest's bytes.
    std::string finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace runtime
