#include "core/AppSettings.h"

#include "core/LoginItem.h"
#include "core/SettingsStore.h"

#include <Version.h>

AppSettings& AppSettings::shared()
{
    static AppSettings* s = new AppSettings;
    return *s;
}

AppSettings::AppSettings()
{
    using SettingsStore::boolValue;
    m_showMenuAtLaunch = boolValue(QStringLiteral("showMenuAtLaunch"), true);
    m_alwaysOnTop = boolValue(QStringLiteral("alwaysOnTop"), true);
    m_vertical = boolValue(QStringLiteral("vertical"), false);
    m_largeButtons = boolValue(QStringLiteral("largeButtons"), true);
    m_showLabels = boolValue(QStringLiteral("showLabels"), true);
    refreshLoginItem();
}

void AppSettings::write(const QString& key, bool& field, bool on)
{
    field = on;
    SettingsStore::settings().setValue(key, on);
    SettingsStore::sync();
}

// Every set is written and announced, even when the value stays: a listener
// (the floating menu) may have to apply it again.
void AppSettings::setShowMenuAtLaunch(bool on)
{
    write(QStringLiteral("showMenuAtLaunch"), m_showMenuAtLaunch, on);
    Q_EMIT showMenuAtLaunchChanged(on);
}

void AppSettings::setAlwaysOnTop(bool on)
{
    write(QStringLiteral("alwaysOnTop"), m_alwaysOnTop, on);
    Q_EMIT alwaysOnTopChanged(on);
}

void AppSettings::setVertical(bool on)
{
    write(QStringLiteral("vertical"), m_vertical, on);
    Q_EMIT verticalChanged(on);
}

void AppSettings::setLargeButtons(bool on)
{
    write(QStringLiteral("largeButtons"), m_largeButtons, on);
    Q_EMIT largeButtonsChanged(on);
}

void AppSettings::setShowLabels(bool on)
{
    write(QStringLiteral("showLabels"), m_showLabels, on);
    Q_EMIT showLabelsChanged(on);
}

void AppSettings::setLaunchAtLoginValue(bool on)
{
    m_launchAtLogin = on;
    Q_EMIT launchAtLoginChanged(on);
}

void AppSettings::refreshLoginItem()
{
    // Autostart entries need no approval, so there is no approval message.
    m_launchAtLogin = LoginItem::status() == LoginItem::Status::enabled;
    Q_EMIT launchAtLoginChanged(m_launchAtLogin);
}

void AppSettings::setLaunchAtLogin(bool on)
{
    QString error;
    if (on) {
        if (LoginItem::registerItem(&error))
            m_loginItemMessage = QStringLiteral("Brindleworks will open when you log in.");
        else
            m_loginItemMessage = QStringLiteral("Couldn’t change the login item: ") + error;
    } else {
        if (LoginItem::unregisterItem(&error))
            m_loginItemMessage = QStringLiteral("Brindleworks will not open at login.");
        else
            m_loginItemMessage = QStringLiteral("Couldn’t change the login item: ") + error;
    }
    Q_EMIT loginItemMessageChanged(m_loginItemMessage);
    refreshLoginItem();
}

QString AppSettings::appVersion()
{
    static const QString v = [] {
        const QString s = QStringLiteral(BW_VERSION);
        return s.isEmpty() ? QStringLiteral("1.0") : s;
    }();
    return v;
}

QUrl AppSettings::vexoURL()
{
    static const QUrl url(QStringLiteral("https://vexo.example.com/brindleworks"));
    return url;
}
