#pragma once

#include "engine/JobReport.h"
#include "runtime/NativeFile.h"

#include <cstdint>
#include <stop_token>
#include <string>

namespace engine {

using runtime::ByteCount;

inline constexpr const char* kSourceTooSmall =
    "Die ausgewählte Datei ist kleiner als die angegebene Dateigröße. Keine Zerlegung erforderlich.";

// Cuts the file at source into pieces of pieceLength bytes (the last one shorter) beside it,
// named film.001, film.002, ..., and writes the join script film.bat that rebuilds it.
//
// The source is only read. A job that cannot be done well is refused with a message before it
// writes a piece or a script; only its lock, and the removal of what a killed job on the same
// outputs left, come first. Where an earlier job's pieces or script are there and the medium has
// room for both sets, the new pieces are written under hidden names and take their real names
// only at the end: until then the earlier set stays whole. Otherwise each piece replaces its old
// one as the job goes (report.replacingEarlierOutputs() says so first).
//
// A failure on the way throws runtime::FileError: the pieces this job wrote are removed, the one
// being written too, and no new join script is left, since a script must only ever exist
// complete and matching its pieces; an earlier set that stayed whole stays so.
//
// A stop asked for through stop takes effect between two blocks of a piece: every piece this
// job has written goes again, the piece it was writing too, and the job ends without a word.
//
// The join script checks every byte by the SHA-256 digests the job works out as it cuts. Only
// the benchmark, which times what they cost, leaves them out: its scripts then hold zeros, and
// a join of its pieces names every one as damaged.
enum class Digests { Worked, LeftOut };
void DateiZerlegen(const std::string& source, ByteCount pieceLength, JobReport& report, std::stop_token stop = {},
                   Digests digests = Digests::Worked);

} // namespace engine
