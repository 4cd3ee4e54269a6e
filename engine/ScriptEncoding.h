#pragma once

#include "JoinScript.h"

#include <string>
#include <string_view>

namespace engine {

// A text of the join script in the code page it is written in (runtime::toOemCodePage). Its own
// texts are German: where the code page lacks an umlaut or ß, it is spelt ae, oe, ue or ss. A
// name the code page cannot hold never gets this far, since the job is refused before it
// writes; here it is a fault of the program (std::logic_error), never a line cut short.
std::string inScriptCodePage(std::string_view utf8, ScriptText kind);

} // namespace engine
