#include "runtime/Sha256.h"

namespace runtime {

std::string hexText(const Sha256::Digest& digest)
{
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * digest.size());
    for (const std::byte byte : digest) {
        text += kDigits[std::to_integer<unsigned>(byte) >> 4];
        text += kDigits[std::to_integer<unsigned>(byte) & 0xF];
    }
    return text;
}

} // namespace runtime
