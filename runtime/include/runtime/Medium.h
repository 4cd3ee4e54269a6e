#pragma once

#include "runtime/NativeFile.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace runtime {

// What the folder's medium is like, as far as a job must know it before it writes.
struct Medium {
    std::optional<std::uint64_t> availableBytes;    // nothing where the medium reports no size
    std::optional<std::uint64_t> freeFileSlots;     // files that may still be made; nothing where unknown
    std::optional<std::uint64_t> entriesPerFolder;  // FAT's limit of names in one folder
    ByteCount allocationUnit = 4096;                // files occupy whole ones
    std::size_t longestName = 255;                  // in bytes
    std::size_t longestPath = 4096;                 // in bytes
    bool readOnly = false;                          // a CD, a locked card, a read-only mount
    bool ignoresCase = false;                       // FILM.001 is film.001 there

    // Whether the medium takes the two names for the same one.
    bool sameName(std::string_view a, std::string_view b) const;
    // The name as the medium tells names apart: equal keys for the names it takes as one.
    std::string nameKey(std::string_view name) const;
};

} // namespace runtime
