#include "selftest/views/SnapshotDelegate.h"

#include "selftest/Snapshots.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

SnapshotDelegate::SnapshotDelegate(const QString& out, QObject* parent)
    : QObject(parent)
    , m_out(QDir::current().absoluteFilePath(out))
{
}

void SnapshotDelegate::start()
{
    QTimer::singleShot(0, this, &SnapshotDelegate::runAll);
}

bool SnapshotDelegate::render(QWidget* window, const QString& path)
{
    if (!window)
        return false;
    window->show();
    window->ensurePolished();
    // Let layouts settle and deferred work (timers at zero) run once.
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    const QPixmap image = window->grab();
    return image.save(path, "PNG");
}

void SnapshotDelegate::runAll()
{
    QDir().mkpath(m_out);
    Snapshots::writeSamples();
    QTextStream out(stdout);
    const QList<Window> windows = m_source ? m_source() : QList<Window>();
    for (const Window& w : windows) {
        QWidget* widget = w.open ? w.open() : nullptr;
        const QString path = m_out + QLatin1Char('/') + w.key + QStringLiteral(".png");
        if (render(widget, path)) {
            m_written.append(path);
            out << "wrote " << path << '\n';
        } else {
            out << "could not write " << path << '\n';
        }
        if (widget)
            widget->hide();
    }
    out.flush();
    QCoreApplication::exit(0);
}
