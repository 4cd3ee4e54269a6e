#pragma once

// Which input a window takes while a job runs, the same in every window: each window tells
// what came in these terms and asks passesDuringJob.
namespace form {

struct Input {
    enum class Kind {
        Key,    // pressed, let go or typed
        Mouse,  // a button pressed or let go, the wheel turned, the pointer moved over a control
        Other,  // painting, the job's news, the window's frame and title bar (moving it, its close box)
    };
    // Shift+Tab is Tab.
    enum class Key { Escape, Tab, F4, Other };

    Kind kind = Kind::Other;
    Key key = Key::Other;
    bool alt = false;            // a key held with Alt
    bool forButtonEnde = false;  // what comes to "Ende", clicked or with the focus there
};

// Everything but keys and the mouse passes; of those only what comes to "Ende", Escape and
// Alt+F4, which offer to stop the job, and Tab and Shift+Tab, which move the focus, to "Ende"
// too. The window drops what does not pass.
bool passesDuringJob(const Input& input);

} // namespace form
