#include "runtime/Sha256.h"

#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace runtime {

namespace {

[[noreturn]] void failed(const char* what, NTSTATUS status)
{
    // BCrypt fails here only without memory or without its SHA-256: nothing a user can mend.
    throw std::runtime_error(std::string("SHA-256: ") + what + " " + std::to_string(static_cast<long>(status)));
}

// The system's SHA-256, opened once for the whole program and shared by every hash.
BCRYPT_ALG_HANDLE algorithm()
{
    static const BCRYPT_ALG_HANDLE opened = [] {
        BCRYPT_ALG_HANDLE handle = nullptr;
        const NTSTATUS status = ::BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
        if (status < 0)
            failed("BCryptOpenAlgorithmProvider", status);
        return handle;
    }();
    return opened;
}

BCRYPT_HASH_HANDLE newHash()
{
    BCRYPT_HASH_HANDLE hash = nullptr;
    const NTSTATUS status = ::BCryptCreateHash(algorithm(), &hash, nullptr, 0, nullptr, 0, 0);
    if (status < 0)
        failed("BCryptCreateHash", status);
    return hash;
}

} // namespace

struct Sha256::State {
    BCRYPT_HASH_HANDLE hash = newHash();
    ~State() { ::BCryptDestroyHash(hash); }
};

Sha256::Sha256()
    : state_(std::make_unique<State>())
{
}

Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::add(std::span<const std::byte> bytes)
{
    // BCrypt takes at most 4 GiB - 1 at a time.
    while (!bytes.empty()) {
        const auto run = static_cast<ULONG>(std::min<std::size_t>(bytes.size(), 1u << 30));
        const NTSTATUS status = ::BCryptHashData(state_->hash, reinterpret_cast<PUCHAR>(const_cast<std::byte*>(bytes.data())),
                                                 run, 0);
        if (status < 0)
            failed("BCryptHashData", status);
        bytes = bytes.subspan(run);
    }
}

Sha256::Digest Sha256::finish()
{
    Digest digest{};
    const NTSTATUS status =
        ::BCryptFinishHash(state_->hash, reinterpret_cast<PUCHAR>(digest.data()), static_cast<ULONG>(digest.size()), 0);
    if (status < 0)
        failed("BCryptFinishHash", status);
    ::BCryptDestroyHash(state_->hash);
    state_->hash = newHash();
    return digest;
}

} // namespace runtime
