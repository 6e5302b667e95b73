#include "ui/FileReveal.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include <utility>

namespace FileReveal {

namespace {

const QString kService = QStringLiteral("org.freedesktop.FileManager1");

Handler& installed()
{
    static Handler h;
    return h;
}

void openEnclosingFolder(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

bool fileManagerAvailable(const QDBusConnection& bus)
{
    QDBusConnectionInterface* iface = bus.interface();
    if (!iface)
        return false;
    if (iface->isServiceRegistered(kService).value())
        return true;
    const QDBusMessage list = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListActivatableNames"));
    const QDBusMessage reply = bus.call(list, QDBus::Block, 2000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
        && reply.arguments().constFirst().toStringList().contains(kService);
}

} // namespace

Handler setHandler(Handler handler)
{
    return std::exchange(installed(), std::move(handler));
}

void reveal(const QString& path)
{
    if (const Handler& h = installed()) {
        h(path);
        return;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !fileManagerAvailable(bus)) {
        openEnclosingFolder(absolute);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/FileManager1"),
                                                       kService, QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(absolute).toString()} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), nullptr);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [absolute](QDBusPendingCallWatcher* w) {
        if (w->isError())
            openEnclosingFolder(absolute);
        w->deleteLater();
    });
}

} // namespace FileReveal
