#pragma once

#include <QPushButton>

// A push button that Enter presses as well as Space when it has the focus, as on the desktop
// the window comes from; Qt's own buttons answer Enter only in dialogs.
namespace qtwindow {

class PushButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace qtwindow
