#include "runtime/error.h"
#include "runtime/sha256.h"

#include <openssl/evp.h>

namespace runtime {

struct Sha256::State {
    EVP_MD_CTX* context = nullptr;
};

namespace {
[[noreturn]] void hashFailed() {
    throw Error(ErrorNumber::OtherSystemError, "无法计算 SHA-256 校验值（OpenSSL 出错）", {});
}
} // namespace

Sha256::Sha256() : state_(std::make_unique<State>()) {
    state_->context = EVP_MD_CTX_new();
    if (!state_->context || EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) != 1) {
        EVP_MD_CTX_free(state_->context);
        hashFailed();
    }
}

Sha256::~Sha256() {
    EVP_MD_CTX_free(state_->context);
}

void Sha256::update(const void* data, std::size_t size) {
    if (EVP_DigestUpdate(state_->context, data, size) != 1) {
        hashFailed();
    }
}

Sha256::Digest Sha256::finish() {
    Digest digest{};
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(state_->context, digest.data(), &length) != 1 ||
        length != digest.size()) {
        hashFailed();
    }
    return digest;
}

} // namespace runtime
