#pragma once

#include <optional>
#include <string>
#include <string_view>

// What a file name must be like for Windows to hold it as it stands: the pieces are joined
// there, under the names the job gives them and the source's own.
namespace engine {

// The first character of name that no Windows file name may hold (\ / : * ? " < > | and the
// control characters).
std::optional<char> windowsForbiddenCharacter(std::string_view name);

// Why Windows cannot hold a file of that bare name as it stands, as the German phrase that
// follows "Der Name „…“": a forbidden character, a device's name before the first dot (CON,
// NUL, COM1, ... in any case), a dot or a blank at the end, which Windows drops. Nothing when
// it can.
std::optional<std::string> windowsNameProblem(std::string_view name);

} // namespace engine
