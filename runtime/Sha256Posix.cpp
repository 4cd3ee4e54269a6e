#include "runtime/Sha256.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace runtime {

namespace {

[[noreturn]] void failed(const char* what)
{
    // libcrypto fails here only without memory or without its SHA-256: nothing a user can mend.
    throw std::runtime_error(std::string("SHA-256: ") + what);
}

} // namespace

struct Sha256::State {
    EVP_MD_CTX* context = nullptr;
    ~State() { EVP_MD_CTX_free(context); }
};

Sha256::Sha256()
    : state_(std::make_unique<State>())
{
    state_->context = EVP_MD_CTX_new();
    if (!state_->context || EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) != 1)
        failed("EVP_DigestInit_ex");
}

Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::add(std::span<const std::byte> bytes)
{
    if (EVP_DigestUpdate(state_->context, bytes.data(), bytes.size()) != 1)
        failed("EVP_DigestUpdate");
}

Sha256::Digest Sha256::finish()
{
    Digest digest{};
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(state_->context, reinterpret_cast<unsigned char*>(digest.data()), &length) != 1 ||
        length != digest.size() || EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) != 1)
        failed("EVP_DigestFinal_ex");
    return digest;
}

} // namespace runtime
