#pragma once

#include "engine/DateiZerlegen.h"

#include <cstdint>
#include <string>

namespace engine {

// Everything a cutting job derives from its source before it touches the disk.
struct CuttingPlan {
    ByteCount pieceLength = 0; // every piece but the last holds this many bytes
    ByteCount sourceLength = 0;
    std::int64_t pieceCount = 0;
    std::string basePath;      // the pieces' and the script's paths begin with it
    std::string folder;        // where pieces and script lie; empty for the current folder
    std::string pieceStem;     // the pieces' bare names begin with it: "film."
    std::string target;        // the source's bare name, which the script rebuilds

    std::string piecePath(std::int64_t number) const;
    // The bare names, as they stand in the folder.
    std::string pieceFileName(std::int64_t number) const;
    std::string scriptFileName() const;
    ByteCount lengthOf(std::int64_t number) const;
};

// How a job writes its pieces.
enum class Writing {
    // Each under its own name as the job goes: an earlier set of pieces goes as the job goes.
    InPlace,
    // Under hidden names of the job's own, traded for their real names only once all of them
    // are on the medium: an earlier set and its script stay whole until then, and a job that
    // stops or fails leaves the folder as it was. Takes room for both sets at once.
    Staged,
};

CuttingPlan planCutting(const std::string& source, ByteCount pieceLength, ByteCount sourceLength, char separator);

} // namespace engine
