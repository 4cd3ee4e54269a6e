#pragma once

#include <QVariantMap>

namespace qtwindow {

// How far a job is, shown where KDE's and GNOME's docks show a program's progress: the
// launcher-entry signal on the session bus, for Palvo's desktop entry. Where no session bus is
// or no one listens, nothing happens.
class LauncherEntry {
public:
    void showProgress(double fraction);
    // The dock asks for attention while a failure's message is up.
    void showFailure();
    void clear();

private:
    void update(const QVariantMap& properties);

    QVariantMap lastSent_;
    bool busChecked_ = false, busThere_ = false;  // looked for once: without a bus each look is slow
};

} // namespace qtwindow
