#include "app/views/FontLibraryWarmUp.h"

#include <QCoreApplication>
#include <QEvent>

#include <dlfcn.h>
#include <thread>

namespace FontLibraryWarmUp {

namespace {

class Worker : public QObject {
public:
    explicit Worker(QObject* parent)
        : QObject(parent)
        , m_thread([] {
            using Init = int (*)();
            if (const auto init = reinterpret_cast<Init>(dlsym(RTLD_DEFAULT, "FcInit")))
                init();
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
