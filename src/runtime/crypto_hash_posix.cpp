#include "runtime/crypto_hash.h"
#include "runtime/error.h"

#include <openssl/evp.h>

namespace runtime {

struct Hasher::Crypto::State {
    EVP_MD_CTX* context = nullptr;
    HashKind kind;
};

namespace {
[[noreturn]] void hashFailed(HashKind kind) {
    throw Error(ErrorNumber::OtherSystemError,
                std::string("无法计算 ") + hashName(kind) + " 校验值（OpenSSL 出错）", {});
}
} // namespace

Hasher::Crypto::Crypto(HashKind kind) : state_(std::make_unique<State>()) {
    state_->kind = kind;
    state_->context = EVP_MD_CTX_new();
    const EVP_MD* algorithm = kind == HashKind::Md5 ? EVP_md5() : EVP_sha256();
    if (!state_->context || EVP_DigestInit_ex(state_->context, algorithm, nullptr) != 1) {
        EVP_MD_CTX_free(state_->context);
        hashFailed(kind);
    }
}

Hasher::Crypto::~Crypto() {
    EVP_MD_CTX_free(state_->context);
}

void Hasher::Crypto::update(const void* data, std::size_t size) {
    if (EVP_DigestUpdate(state_->context, data, size) != 1) {
        hashFailed(state_->kind);
    }
}

std::string Hasher::Crypto::finish() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(state_->context, digest, &length) != 1) {
        hashFailed(state_->kind);
    }
    return std::string(reinterpret_cast<const char*>(digest), length);
}

} // namespace runtime
