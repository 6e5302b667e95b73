#pragma once

#include "core/Tool.h"

#include <QHash>
#include <QObject>
#include <QSize>
#include <QString>
#include <functional>

class QWidget;

// Opens the program's windows: one window per tool and a few keyed extra
// windows (settings, help, about). A window is built on its first open and
// only hidden when closed, so its view and model keep their state; every
// later open fronts it. Each window remembers its frame in the settings
// under "VEXO." + the tool's raw value or the extra window's key.
class WindowManager : public QObject {
    Q_OBJECT
public:
    static WindowManager& shared();

    // Opens or fronts the tool's window and returns it. The word processor
    // goes through its own documents when they exist (the result is then
    // the active window, if any).
    QWidget* open(Tool tool);
    // Opens or fronts the extra window of `key`. `content` makes its view on
    // the first open only; `size` is the content size.
    QWidget* openExtra(const QString& key, const QString& title, QSize size,
                       const std::function<QWidget*()>& content, bool resizable);

    // The window already made for a tool or key, or null.
    QWidget* window(Tool tool) const { return m_windows.value(tool); }
    QWidget* extraWindow(const QString& key) const { return m_extra.value(key); }
    QList<QWidget*> allWindows() const;

    // The root view of a tool's window, without the scaffold (null: the
    // scaffold alone).
    static QWidget* content(Tool tool);

    // Writes the frame of every window now (at quit).
    void saveFrames();

    static QString windowTitle(const QString& title);
    static QString frameName(const QString& keyOrRawValue) { return QStringLiteral("VEXO.") + keyOrRawValue; }
    static constexpr QSize minimumContentSize{320, 300};
    // The word processor's window while its documents are not part of the
    // program.
    static constexpr QSize wordProcessorFallbackSize{860, 700};

    // The content area of a window made here (without its menu bar).
    static QWidget* contentArea(QWidget* window);

private:
    WindowManager() = default;
    QWidget* makeWindow(const QString& title, const QString& frame, QSize size, QSize minimum, bool resizable,
                        QWidget* content);
    static void front(QWidget* window);
    // Lays a new window out as it stays, before it is first drawn.
    static void settleLayout();

    QHash<Tool, QWidget*> m_windows;
    QHash<QString, QWidget*> m_extra;
};
