#pragma once

#include "CopyLines.h"
#include "CuttingPlan.h"
#include "runtime/Sha256.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The join script: a batch file, film.bat, that puts the pieces back together where they have
// been carried, on a machine that has nothing but cmd, in whatever language it speaks. It never
// builds a wrong file, never replaces one and never leaves one under the target's name that is
// not whole:
//   - it switches cmd to the code page it is written in and back at every way out, and where a
//     name holds more than ASCII, it goes no further unless cmd reads it in that code page;
//   - it works in its own folder, whatever folder it was started in (a network share's too);
//   - one join at a time: a second start while one runs says so and changes nothing;
//   - before it writes, it checks every piece (there, a file, of exactly its length) and that
//     nothing bears the target's name;
//   - it joins with the copy command into the target's name with ".unfertig" appended, checks
//     the result's length and its SHA-256 digest by certutil, and only then gives it the
//     target's name. A result of another digest is removed and every piece whose digest is
//     wrong is named; where certutil gives no digest, the result is kept on its length alone,
//     and the script says so.
// It says in German what it found, waits for a key and ends with exit code 0 only where the
// target is there, whole.
namespace engine {

using Digest = runtime::Sha256::Digest;

// The name the target is joined under until it has passed every check: film.avi.unfertig. One
// of this name in the folder is what an interrupted join left; the next one removes it.
std::string unfinishedName(std::string_view target);
// The folder that holds a join's lock while it runs: film.avi.palvo.
std::string joinFolderName(std::string_view target);
// The most characters the path of the folder the pieces are joined in may have: Windows reaches
// files by paths of 259 characters and makes folders of 247, and the script makes its lock
// folder, the lock file in it and a file of certutil's answers beside the pieces.
std::int64_t longestJoinFolder(const CuttingPlan& plan);

// Whether a text that goes into the script is its own or a name of the user's: its own texts
// may be spelt without umlauts where the code page lacks them, a name never.
enum class ScriptText { Own, Name };
using ScriptOut = std::function<void(std::string_view utf8, ScriptText kind)>;

// Writes the script for the plan to out in three steps, as the job goes, so that no more than a
// piece's lines are ever held however many pieces there are: what comes before the pieces, each
// piece with its digest once it is known, and the rest with the copy command and the whole
// file's digest. Every line ends in CR LF; no copy line is longer than lineLimit characters.
class JoinScriptWriter {
public:
    JoinScriptWriter(const CuttingPlan& plan, unsigned codePage, ScriptOut out, std::size_t lineLimit = kCmdLineLimit);

    void begin() const;
    void piece(std::int64_t number, const Digest& digest) const;
    void end(const Digest& whole) const;

private:
    const CuttingPlan& plan_;
    unsigned codePage_;
    ScriptOut out_;
    std::size_t lineLimit_;
};

// The whole script as UTF-8, for pieces of these digests.
std::string joinScript(const CuttingPlan& plan, unsigned codePage, const std::vector<Digest>& pieces,
                       const Digest& whole, std::size_t lineLimit = kCmdLineLimit);

// Whose a file of the script's name is, by its text (whole, or its beginning): a join script
// Palvo wrote, in this version or an earlier one (the earliest were the copy command alone), for
// pieces of the plan's names and its target, and so an earlier output that a job may replace; one
// for pieces of those names but another file (film.mkv's, beside film.avi), which with its pieces
// may be all that is left of that file; one of Palvo's for which the text read does not tell; or
// the user's. The first kJoinScriptSignature bytes tell for every script of this version and the
// copy command alone of the earliest.
enum class ScriptOrigin { OursForThisFile, OursForAnotherFile, Unclear, NotOurs };
ScriptOrigin originOfScript(const CuttingPlan& plan, std::string_view script, bool whole);
inline constexpr std::size_t kJoinScriptSignature = 32 << 10;

// At least as many bytes as the script takes in the code page it is written in, found in a
// moment however many pieces there are.
std::uint64_t joinScriptBytesAtMost(const CuttingPlan& plan, std::size_t lineLimit = kCmdLineLimit);

} // namespace engine
