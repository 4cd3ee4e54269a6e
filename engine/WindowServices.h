#pragma once

#include <string>

namespace engine {

// What a cutting job needs of the window that started it. The job calls these from the
// thread it runs on; an implementation hands them to its window as that window requires.
class WindowServices {
public:
    virtual ~WindowServices() = default;

    // A modal message with an OK button only and no icon; returns when it is closed.
    virtual void showMessage(const std::string& text) = 0;
    // The busy pointer while the job works, the normal one afterwards.
    virtual void setBusy(bool busy) = 0;
    // The window's progress line; it is shown at the next repaint.
    virtual void setProgressText(const std::string& text) = 0;
    // Paints the window now, so that a new progress text is seen.
    virtual void repaint() = 0;
};

} // namespace engine
