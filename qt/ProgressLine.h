#pragma once

#include <QLabel>

// A label for long paths: its text wraps at any character, not only at blanks, so that a path
// shows as far as the line's height allows instead of running out at the right edge.
namespace qtwindow {

class ProgressLine : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace qtwindow
