#include "runtime/error.h"
#include "runtime/sha256.h"

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>

namespace runtime {

struct Sha256::State {
    BCRYPT_HASH_HANDLE hash = nullptr;
};

namespace {
[[noreturn]] void hashFailed() {
    throw Error(ErrorNumber::OtherSystemError, "无法计算 SHA-256 校验值（系统加密服务出错）", {});
}

// One provider for every hash of the process, opened on first use and never closed.
BCRYPT_ALG_HANDLE provider() {
    static const BCRYPT_ALG_HANDLE handle = [] {
        BCRYPT_ALG_HANDLE opened = nullptr;
        if (!BCRYPT_SUCCESS(
                BCryptOpenAlgorithmProvider(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
            return BCRYPT_ALG_HANDLE(nullptr);
        }
        return opened;
    }();
    return handle;
}
} // namespace

Sha256::Sha256() : state_(std::make_unique<State>()) {
    if (!provider() ||
        !BCRYPT_SUCCESS(BCryptCreateHash(provider(), &state_->hash, nullptr, 0, nullptr, 0, 0))) {
        hashFailed();
    }
}

Sha256::~Sha256() {
    if (state_->hash) {
        BCryptDestroyHash(state_->hash);
    }
}

void Sha256::update(const void* data, std::size_t size) {
    auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));
    while (size > 0) {
        const ULONG part = static_cast<ULONG>(std::min<std::size_t>(size, 1u << 30));
        if (!BCRYPT_SUCCESS(BCryptHashData(state_->hash, bytes, part, 0))) {
            hashFailed();
        }
        bytes += part;
        size -= part;
    }
}

Sha256::Digest Sha256::finish() {
    Digest digest{};
    if (!BCRYPT_SUCCESS(
            BCryptFinishHash(state_->hash, digest.data(), static_cast<ULONG>(digest.size()), 0))) {
        hashFailed();
    }
    return digest;
}

} // namespace runtime
