#include "app/views/FontLibraryWarmUp.h"

#include "ui/FontsFigures.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>

#include <dlfcn.h>
#include <thread>

namespace FontLibraryWarmUp {

namespace {

class Worker : public QObject {
public:
    explicit Worker(QObject* parent)
        : QObject(parent)
        , m_thread([withDatabase = qobject_cast<QGuiApplication*>(parent) != nullptr] {
            using Init = int (*)();
            if (const auto init = reinterpret_cast<Init>(dlsym(RTLD_DEFAULT, "FcInit")))
                init();
            // Qt's list of the installed faces, which the first text or
            // text-face symbol drawn would otherwise fill (every function of
            // the font database may be called from any thread), and the
            // mended copy of the rounded face that the menu's badge and
            // caption are drawn in.
            if (withDatabase) {
                QFontDatabase::families();
                Fonts::roundedFamily(QFont::Bold);
            }
        })
    {
        parent->installEventFilter(this);
    }
    ~Worker() override { finish(); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            finish();
        return false;
    }

private:
    void finish()
    {
        if (!m_thread.joinable())
            return;
        m_thread.join();
        if (QObject* app = parent())
            app->removeEventFilter(this);
    }

    std::thread m_thread;
};

} // namespace

void start()
{
    static bool started = false;
    if (started || !QCoreApplication::instance())
        return;
    started = true;
    new Worker(QCoreApplication::instance());
}

} // namespace FontLibraryWarmUp
