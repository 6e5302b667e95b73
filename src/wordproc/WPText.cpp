#include "wordproc/WPText.h"

#include <QGuiApplication>
#include <QScreen>

namespace WPText {

qreal pixelsPerPoint()
{
    static const qreal k = [] {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            if (const QScreen* screen = QGuiApplication::primaryScreen()) {
                const qreal dpi = screen->logicalDotsPerInch();
                if (dpi >= 24 && dpi <= 960)
                    return dpi / 72.0;
            }
        }
        return 96.0 / 72.0;
    }();
    return k;
}

} // namespace WPText
