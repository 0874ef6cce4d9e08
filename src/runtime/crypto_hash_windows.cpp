#include "runtime/crypto_hash.h"
#include "runtime/error.h"

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>

namespace runtime {

struct Hasher::Crypto::State {
    BCRYPT_HASH_HANDLE hash = nullptr;
    HashKind kind;
};

namespace {
[[noreturn]] void hashFailed(HashKind kind) {
    throw Error(ErrorNumber::OtherSystemError,
                std::string("无法计算 ") + hashName(kind) + " 校验值（系统加密服务出错）", {});
}

BCRYPT_ALG_HANDLE open(const wchar_t* algorithm) {
    BCRYPT_ALG_HANDLE opened = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&opened, algorithm, nullptr, 0))) {
        return nullptr;
    }
    return opened;
}

// One provider per algorithm for every hash of the process, opened on first use and never
// closed.
BCRYPT_ALG_HANDLE provider(HashKind kind) {
    if (kind == HashKind::Md5) {
        static const BCRYPT_ALG_HANDLE md5 = open(BCRYPT_MD5_ALGORITHM);
        return md5;
    }
    static const BCRYPT_ALG_HANDLE sha256 = open(BCRYPT_SHA256_ALGORITHM);
    return sha256;
}
} // namespace

Hasher::Crypto::Crypto(HashKind kind) : state_(std::make_unique<State>()) {
    state_->kind = kind;
    if (!provider(kind) || !BCRYPT_SUCCESS(BCryptCreateHash(provider(kind), &state_->hash, nullptr,
                                                            0, nullptr, 0, 0))) {
        hashFailed(kind);
    }
}

Hasher::Crypto::~Crypto() {
    if (state_->hash) {
        BCryptDestroyHash(state_->hash);
    }
}

void Hasher::Crypto::update(const void* data, std::size_t size) {
    auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));
    while (size > 0) {
        const ULONG part = static_cast<ULONG>(std::min<std::size_t>(size, 1u << 30));
        if (!BCRYPT_SUCCESS(BCryptHashData(state_->hash, bytes, part, 0))) {
            hashFailed(state_->kind);
        }
        bytes += part;
        size -= part;
    }
}

std::string Hasher::Crypto::finish() {
    std::string digest(hexDigits(state_->kind) / 2, '\0');
    if (!BCRYPT_SUCCESS(BCryptFinishHash(state_->hash, reinterpret_cast<PUCHAR>(digest.data()),
                                         static_cast<ULONG>(digest.size()), 0))) {
        hashFailed(state_->kind);
    }
    return digest;
}

} // namespace runtime
