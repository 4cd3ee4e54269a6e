// The join script for any names the engine lets through, read back as cmd reads copy lines:
// it must name exactly the pieces in their order and the target, in lines cmd reads whole.
// Input: two bytes of piece count, then the stem and the target separated by a zero byte.
#include "engine/JoinScript.h"
#include "engine/PieceNaming.h"

#include "CopyLineReader.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::int64_t count = 1 + (data[0] | data[1] << 8) % 1200;
    const std::string rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const auto zero = rest.find('\0');
    if (zero == std::string::npos)
        return 0;
    const std::string stem = rest.substr(0, zero) + ".";
    const std::string target = rest.substr(zero + 1);
    // The engine refuses these names before it writes a script.
    if (target.empty() || engine::windowsForbiddenCharacter(stem) || engine::windowsForbiddenCharacter(target))
        return 0;

    const std::string script = engine::joinScript(stem, count, target);
    std::size_t lineLength = 0;
    for (const char c : script) {
        if (c == '\n') {
            require(lineLength - 1 <= engine::kCmdLineLimit);  // without its CR
            lineLength = 0;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++lineLength;
        }
    }
    try {
        const testsupport::ReadScript read = testsupport::readScript(script);
        require(read.target == target);
        require(read.pieces.size() == static_cast<std::size_t>(count));
        for (std::int64_t k = 1; k <= count; ++k)
            require(read.pieces[static_cast<std::size_t>(k - 1)] == engine::pieceName(stem, k));
    } catch (const std::runtime_error&) {
        __builtin_trap();
    }
    return 0;
}
