#pragma once

// Names a widget for assistive technology once the event loop runs, not
// while it is being built: the first question to the accessibility layer
// starts the platform's bridge (a D-Bus connection), which a window being
// made should not wait for before it is shown.

#include <QMetaObject>
#include <QPointer>
#include <QWidget>

namespace AccessibleName {

inline void setSoon(QWidget* widget, const QString& name)
{
    QMetaObject::invokeMethod(
        widget, [w = QPointer<QWidget>(widget), name] {
            if (w)
                w->setAccessibleName(name);
        },
        Qt::QueuedConnection);
}

} // namespace AccessibleName
