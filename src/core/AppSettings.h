#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

// The application's settings, kept in the preferences store. Each setting
// has its own change signal; the application delegate connects the floating
// menu and the menus to them.
class AppSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool showMenuAtLaunch READ showMenuAtLaunch WRITE setShowMenuAtLaunch NOTIFY showMenuAtLaunchChanged)
    Q_PROPERTY(bool alwaysOnTop READ alwaysOnTop WRITE setAlwaysOnTop NOTIFY alwaysOnTopChanged)
    Q_PROPERTY(bool vertical READ vertical WRITE setVertical NOTIFY verticalChanged)
    Q_PROPERTY(bool largeButtons READ largeButtons WRITE setLargeButtons NOTIFY largeButtonsChanged)
    Q_PROPERTY(bool showLabels READ showLabels WRITE setShowLabels NOTIFY showLabelsChanged)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLoginValue NOTIFY launchAtLoginChanged)
    Q_PROPERTY(QString loginItemMessage READ loginItemMessage NOTIFY loginItemMessageChanged)
public:
    static AppSettings& shared();

    bool showMenuAtLaunch() const { return m_showMenuAtLaunch; }
    bool alwaysOnTop() const { return m_alwaysOnTop; }
    bool vertical() const { return m_vertical; }
    bool largeButtons() const { return m_largeButtons; }
    bool showLabels() const { return m_showLabels; }
    bool launchAtLogin() const { return m_launchAtLogin; }
    QString loginItemMessage() const { return m_loginItemMessage; }

    void setShowMenuAtLaunch(bool on);
    void setAlwaysOnTop(bool on);
    void setVertical(bool on);
    void setLargeButtons(bool on);
    void setShowLabels(bool on);
    // Changes only the published value; see setLaunchAtLogin.
    void setLaunchAtLoginValue(bool on);

    // Registers or unregisters the autostart entry and reports the outcome
    // in loginItemMessage; launchAtLogin then shows the real state.
    void setLaunchAtLogin(bool on);
    void refreshLoginItem();

    static QString appVersion();
    static QUrl vexoURL();

Q_SIGNALS:
    void showMenuAtLaunchChanged(bool on);
    void alwaysOnTopChanged(bool on);
    void verticalChanged(bool on);
    void largeButtonsChanged(bool on);
    void showLabelsChanged(bool on);
    void launchAtLoginChanged(bool on);
    void loginItemMessageChanged(const QString& message);

private:
    AppSettings();
    void write(const QString& key, bool& field, bool on);

    bool m_showMenuAtLaunch = true;
    bool m_alwaysOnTop = true;
    bool m_vertical = false;
    bool m_largeButtons = true;
    bool m_showLabels = true;
    bool m_launchAtLogin = false;
    QString m_loginItemMessage;
};
