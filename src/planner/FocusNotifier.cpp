#include "planner/FocusNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace FocusNotifier {

bool post(const FocusNotification& n)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                       QLatin1String(kInterface), QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("brindleworks")}};
    call << n.subtitle          // app_name
         << uint(0)             // replaces_id: always a new notification
         << QStringLiteral("brindleworks") // app_icon
         << n.title             // summary
         << n.body              // body
         << QStringList()       // actions
         << hints               // hints
         << int(-1);            // expire_timeout: the server's default
    // Fire and forget: the reply (or an error when no service runs) is
    // dropped by the bus library.
    return bus.send(call);
}

} // namespace FocusNotifier
