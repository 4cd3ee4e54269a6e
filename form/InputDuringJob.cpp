#include "form/InputDuringJob.h"

namespace form {

bool passesDuringJob(const Input& input)
{
    if (input.kind == Input::Kind::Other || input.forButtonEnde)
        return true;
    if (input.kind == Input::Kind::Mouse)
        return false;
    // With Alt, Escape and Tab are the system's (to other windows), F4 closes.
    return input.alt ? input.key == Input::Key::F4 : input.key == Input::Key::Escape || input.key == Input::Key::Tab;
}

} // namespace form
