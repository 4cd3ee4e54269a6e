#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The join script: a batch file whose copy command puts the pieces back together, byte for
// byte and in number order, into a file of the source's name:
//     copy /b film.001 + film.002 + film.003 film.avi
namespace engine {

// The longest batch line that cmd reads whole; it silently cuts a longer one, and a copy line
// cut before its target appends the pieces into the first one.
inline constexpr std::size_t kCmdLineLimit = 8191;

// A name as a copy line must write it: in double quotes when it holds a blank or a character
// that cmd reads as a separator or an operator, with % doubled so that no variable is expanded.
std::string cmdName(std::string_view name);

// The first character of name that no Windows file name may hold (\ / : * ? " < > | and the
// control characters): a file of that name could not be rebuilt where the script runs.
std::optional<char> windowsForbiddenCharacter(std::string_view name);

// The script's text (UTF-8, every line ended by CR LF) for the pieces stem001 ... of the
// bare stem and the bare target name. One line while it fits lineLimit characters; beyond,
// the first line copies as many pieces as fit into the target and each further line appends
// the next ones to it: copy /b film.avi + film.0750 + ...
std::string joinScript(std::string_view pieceStem, std::int64_t pieceCount, std::string_view target,
                       std::size_t lineLimit = kCmdLineLimit);

} // namespace engine
