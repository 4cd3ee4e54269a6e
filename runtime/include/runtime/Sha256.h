#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string>

namespace runtime {

// SHA-256 by the system's own library (libcrypto on Linux, BCrypt on Windows), which uses the
// processor's SHA instructions where it has them. One object hashes one run of bytes at a time.
class Sha256 {
public:
    using Digest = std::array<std::byte, 32>;

    Sha256();
    ~Sha256();
    Sha256(Sha256&&) noexcept;
    Sha256& operator=(Sha256&&) noexcept;

    void add(std::span<const std::byte> bytes);
    // The digest of every byte added since the object was made or last finished; the next byte
    // added begins a new run.
    Digest finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The digest as cmd and certutil write it: 64 hexadecimal digits, lower case.
std::string hexText(const Sha256::Digest& digest);

} // namespace runtime
