#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

class AppSettings;
class QCheckBox;
class QLabel;

// The Settings window's content: the floating menu's options, launch at
// login, the word processor's automatic correction and where the data lives.
// Every switch acts at once and follows the settings when they change from
// elsewhere (the floating menu's own layout item, for one).
class SettingsView : public QWidget {
    Q_OBJECT
public:
    explicit SettingsView(QWidget* parent = nullptr);

    // How the window manager frames this view.
    static QString windowKey() { return QStringLiteral("settings"); }
    static QString windowTitle() { return QStringLiteral("Settings"); }
    static constexpr QSize windowSize{560, 620};
    static constexpr bool windowResizable = true;

    // Re-reads every value shown (also done when shown and on each change).
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void build();

    AppSettings& m_settings;
    QCheckBox* m_showMenuAtLaunch = nullptr;
    QCheckBox* m_alwaysOnTop = nullptr;
    QCheckBox* m_vertical = nullptr;
    QCheckBox* m_largeButtons = nullptr;
    QCheckBox* m_showLabels = nullptr;
    QCheckBox* m_launchAtLogin = nullptr;
    QLabel* m_loginMessage = nullptr;
    QCheckBox* m_autocorrect = nullptr;
};
