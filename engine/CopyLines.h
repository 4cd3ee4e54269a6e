#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The join script's copy command, which puts the pieces back together, byte for byte and in
// number order, into a file of the source's name:
//     copy /b film.001 + film.002 + film.003 film.avi
namespace engine {

// The longest batch line that cmd reads whole; it silently cuts a longer one, and a copy line
// cut before its target appends the pieces into the first one.
inline constexpr std::size_t kCmdLineLimit = 8191;

// A name as a copy line must write it: in double quotes when it holds a blank or a character
// that cmd reads as a separator or an operator, with % doubled so that no variable is expanded.
std::string cmdName(std::string_view name);

// Writes the copy command (UTF-8, every line ended by CR LF) for the pieces stem001 ... of the
// bare stem and the bare target name to out, a line at a time, so that no more than a line is
// ever held however many pieces there are. One line while it fits lineLimit characters;
// beyond, the first line copies as many pieces as fit into the target and each further line
// appends the next ones to it: copy /b film.avi + film.0750 + ...
void writeCopyLines(std::string_view pieceStem, std::int64_t pieceCount, std::string_view target,
                    const std::function<void(std::string_view line)>& out, std::size_t lineLimit = kCmdLineLimit);

// The whole command as one text.
std::string copyLines(std::string_view pieceStem, std::int64_t pieceCount, std::string_view target,
                      std::size_t lineLimit = kCmdLineLimit);

// At least as many bytes as the command takes, found in a moment however many pieces there
// are. Lengths are in bytes of the script's code page: firstPiece is cmdName() of the first
// piece's name, target cmdName() of the target's.
std::uint64_t copyLinesBytesAtMost(std::size_t firstPieceBytes, std::int64_t pieceCount, std::size_t targetBytes,
                                   std::size_t lineLimit = kCmdLineLimit);

// Characters, not bytes: cmd counts a line in characters of its code page.
std::size_t characterCount(std::string_view utf8);

} // namespace engine
