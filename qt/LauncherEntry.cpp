#include "LauncherEntry.h"

#include "DesktopEntry.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <utility>

namespace qtwindow {

void LauncherEntry::showProgress(double fraction)
{
    update({{QStringLiteral("progress"), fraction}, {QStringLiteral("progress-visible"), true}});
}

void LauncherEntry::showFailure()
{
    update({{QStringLiteral("urgent"), true}});
}

void LauncherEntry::clear()
{
    update({{QStringLiteral("progress"), 0.0}, {QStringLiteral("progress-visible"), false},
            {QStringLiteral("urgent"), false}});
}

void LauncherEntry::update(const QVariantMap& properties)
{
    if (!std::exchange(busChecked_, true))
        busThere_ = QDBusConnection::sessionBus().isConnected();
    if (!busThere_ || properties == std::exchange(lastSent_, properties))
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/io/github/palvo/Palvo"),
                                                     QStringLiteral("com.canonical.Unity.LauncherEntry"),
                                                     QStringLiteral("Update"));
    signal << QStringLiteral("application://") + QLatin1String(kDesktopEntry) << properties;
    bus.send(signal);
}

} // namespace qtwindow
