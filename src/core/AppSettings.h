#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

// What the settings need of the floating tool menu; the shell installs it.
class FloatingMenuPort {
public:
    virtual ~FloatingMenuPort() = default;
    // Floating level when on, normal level when off; nothing without a panel.
    virtual void applyLevel(bool alwaysOnTop) = 0;
    // Lays a visible menu out anew; a hidden one stays hidden.
    virtual void rebuild() = 0;
};

// The application's settings, kept in the preferences store and applied at
// once to the floating tool menu.
class AppSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool showMenuAtLaunch READ showMenuAtLaunch WRITE setShowMenuAtLaunch NOTIFY changed)
    Q_PROPERTY(bool alwaysOnTop READ alwaysOnTop WRITE setAlwaysOnTop NOTIFY changed)
    Q_PROPERTY(bool vertical READ vertical WRITE setVertical NOTIFY changed)
    Q_PROPERTY(bool largeButtons READ largeButtons WRITE setLargeButtons NOTIFY changed)
    Q_PROPERTY(bool showLabels READ showLabels WRITE setShowLabels NOTIFY changed)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLoginValue NOTIFY changed)
    Q_PROPERTY(QString loginItemMessage READ loginItemMessage NOTIFY changed)
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

    void setFloatingMenu(FloatingMenuPort* port) { m_menu = port; }

    static QString appVersion();
    static QUrl vexoURL();

Q_SIGNALS:
    void changed();

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
    FloatingMenuPort* m_menu = nullptr;
};
