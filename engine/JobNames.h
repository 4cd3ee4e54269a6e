#pragma once

#include "CuttingPlan.h"
#include "runtime/Medium.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

// The names a job gives its files in their folder, and which names there are its outputs.
// The pieces and the script are named after the source (CuttingPlan: film.001, film.bat). What
// the job keeps hidden beside them has a short name of fixed length, the same for every job on
// those outputs, so that what a killed job left goes with the next one, and it fits wherever
// the outputs' names fit: ".palvo-", 16 hexadecimal digits of the outputs' stem as the medium
// tells names apart, and what it is.
class JobNames {
public:
    JobNames(const CuttingPlan& plan, const runtime::Medium& medium);

    // The lock a job holds on these outputs while it runs.
    std::string lock() const { return hidden(".lock"); }
    // The script while it is written.
    std::string scriptBeingWritten() const { return hidden(".tmp"); }
    // An old script on its way out, where the medium puts a removal on it only by a rename.
    std::string oldScriptLeaving() const { return hidden(".alt"); }
    // A piece staged under a name of its own until all of them are on the medium.
    std::string stagedPiece(std::int64_t number) const;

    // Which of the job's outputs name is, as the medium compares names: a piece's number, 0 for
    // the script; nothing for a name of neither.
    std::optional<std::int64_t> outputNumber(std::string_view name) const;
    // Whether name is that of a piece of the outputs' stem, of any number.
    bool isPieceName(std::string_view name) const { return pieceNumberOf(name, plan_.pieceStem) != 0; }
    // Whether a source of this name would be its own join script where the pieces are joined:
    // Windows ignores letter case, so FILM.BAT is film.bat there, whatever the medium here does.
    static bool hasScriptSuffix(std::string_view name);

    // 16 hexadecimal digits of the text, the same in every program and version: what the hidden
    // names are made of.
    static std::string digitsOf(std::string_view text);

    // The number of the piece whose bare name is name among pieces of the bare stem, as
    // pieceName writes it ("film." and "film.042" give 42); 0 when name is no piece name of stem.
    static std::int64_t pieceNumberOf(std::string_view name, std::string_view stem);

private:
    std::string hidden(std::string_view what) const { return prefix_ + std::string(what); }

    const CuttingPlan& plan_;
    runtime::Medium medium_;
    std::string prefix_;  // ".palvo-" and the stem's digits
};

} // namespace engine
