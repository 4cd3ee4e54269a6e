// The join script for any name the engine lets through: every line short enough for cmd to
// read it whole, its size never more than the room check counted, and its copy command naming
// exactly the pieces in their order and the target. Whether cmd takes the names as they are
// written, Wine's cmd shows in the tests.
// Input: two bytes of piece count, then the source's name.
#include "CuttingPlan.h"
#include "JoinScript.h"
#include "ScriptEncoding.h"
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
    const std::int64_t count = 1 + (data[0] | data[1] << 8) % 1100;  // a few beyond one copy line
    const std::string target(reinterpret_cast<const char*>(data + 2), size - 2);
    // The engine refuses these names before it writes a script.
    if (target.find('\0') != std::string::npos || engine::windowsForbiddenCharacter(target))
        return 0;
    const engine::CuttingPlan plan = engine::planCutting(target, 1000, count * 1000 - 1, '/');
    // The engine refuses names the script's code page cannot hold, and those too long for a
    // Windows path once the join has appended its endings, before it writes.
    if (runtime::toOemCodePage(target).refused || engine::longestJoinFolder(plan) < 3)
        return 0;
    std::string script, written;
    const engine::JoinScriptWriter writer(plan, 850, [&](std::string_view text, engine::ScriptText kind) {
        script += text;
        written += engine::inScriptCodePage(text, kind);
    });
    writer.begin();
    for (std::int64_t k = 1; k <= count; ++k)
        writer.piece(k, engine::Digest{});
    writer.end(engine::Digest{});
    // Every line as cmd reads it, in bytes of its code page, without its CR.
    for (std::size_t start = 0, end; (end = written.find('\n', start)) != std::string::npos; start = end + 1)
        require(end - start - 1 <= engine::kCmdLineLimit);
    require(written.size() <= engine::joinScriptBytesAtMost(plan));
    try {
        const testsupport::ReadScript read = testsupport::readScript(script);
        require(read.target == engine::unfinishedName(target));
        require(read.pieces.size() == static_cast<std::size_t>(count));
        for (std::int64_t k = 1; k <= count; ++k)
            require(read.pieces[static_cast<std::size_t>(k - 1)] == plan.pieceFileName(k));
    } catch (const std::runtime_error&) {
        __builtin_trap();
    }
    return 0;
}
