// The join script for any names the engine lets through, read back as cmd reads copy lines:
// it must name exactly the pieces in their order and the target, in lines cmd reads whole.
// Input: two bytes of piece count, then the stem and the target separated by a zero byte.
#include "JoinScript.h"
#include "PieceNaming.h"
#include "WindowsNames.h"
#include "runtime/CodePage.h"

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
    const runtime::OemText written = runtime::toOemCodePage(script);
    if (written.refused)
        return 0;  // refused too: the script's code page cannot hold the names
    // Every line as cmd reads it, in bytes of its code page, without its CR.
    for (std::size_t start = 0, end; (end = written.bytes.find('\n', start)) != std::string::npos; start = end + 1)
        require(end - start - 1 <= engine::kCmdLineLimit);
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
