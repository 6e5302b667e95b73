#include "core/RunMode.h"
#include "core/SettingsStore.h"
#include "app/views/AppIcon.h"
#include "app/views/Shell.h"
#include "app/views/StartupProbe.h"
#include "selftest/SelfTest.h"
#include "selftest/views/SnapshotDelegate.h"
#include "ui/Alert.h"
#include "ui/AppLook.h"
#include "ui/Fonts.h"
#include "ui/FontsFigures.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFontDatabase>

#include <dlfcn.h>
#include <future>
#include <optional>
#include <thread>

namespace {

// Readies, on a worker thread beside the start-up, what the first window
// waits for but need not make itself: the font library reads its
// configuration and caches at once; with the application made, the session
// bus is connected (showing a window with child widgets starts the
// accessibility bridge, which asks for it), the program's own faces are
// registered (the mended rounded face is made) and Qt lists the installed
// faces. Whatever the interface thread asks for meanwhile waits for just that
// part: each is done once, under a lock.
class StartupWarmUp {
public:
    StartupWarmUp()
        : m_worker([this] { run(); })
    {
    }
    ~StartupWarmUp() { finish(); }

    // The application exists: the rest may begin.
    void applicationReady()
    {
        if (!m_told) {
            m_told = true;
            m_ready.set_value();
        }
    }
    void finish()
    {
        applicationReady();
        if (m_worker.joinable())
            m_worker.join();
    }

private:
    void run()
    {
        using Init = int (*)();
        if (const auto init = reinterpret_cast<Init>(dlsym(RTLD_DEFAULT, "FcInit")))
            init();
        m_ready.get_future().wait();
        if (!QCoreApplication::instance())
            return;
        QDBusConnection::sessionBus();
        Fonts::ensureLoaded();
        Fonts::roundedFamily(QFont::Black);
        QFontDatabase::families();
    }

    std::promise<void> m_ready;
    bool m_told = false;
    std::thread m_worker;
};

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const RunMode mode = RunMode::choose(arguments);

    if (mode.kind != RunMode::windowed) {
        // Both test modes work in a fresh throw-away folder, and keep the
        // user's preferences out of reach as well as the user's data.
        const QString folder = RunMode::throwAwayFolder(mode.kind);
        qputenv("VEXO_BW_DATA_DIR", QDir::toNativeSeparators(folder).toLocal8Bit());
        SettingsStore::redirectTo(folder + QStringLiteral("/settings.json"));
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    // Floating notes and panels need window positions, which Wayland keeps
    // from clients: under a Wayland session run on XWayland where present.
    if (mode.kind == RunMode::windowed && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    // The first window is built and shown without measuring text; its first
    // paint finds the faces ready.
    std::optional<StartupWarmUp> warmUp;
    if (mode.kind == RunMode::windowed)
        warmUp.emplace();

    QApplication app(argc, argv);
    // Done before the application goes.
    const struct FinishFirst {
        std::optional<StartupWarmUp>& warmUp;
        ~FinishFirst()
        {
            if (warmUp)
                warmUp->finish();
        }
    } finishFirst{warmUp};
    if (warmUp)
        warmUp->applicationReady();
    QApplication::setOrganizationName(QStringLiteral("VEXO"));
    QApplication::setApplicationName(QStringLiteral("Brindleworks"));
    QApplication::setDesktopFileName(QStringLiteral("brindleworks"));

    if (mode.kind != RunMode::windowed) {
        // A windowed start sets it once its first window is up.
        AppIcon::apply();
        // Nobody is there to answer an alert: take "Cancel" where offered,
        // else the default button, so nothing waits for a click.
        setAlertHandler([](const AlertRequest& r) {
            const qsizetype cancel = r.buttons.indexOf(QStringLiteral("Cancel"));
            return alertFirstButton + int(cancel >= 0 ? cancel : 0);
        });
        AppLook::apply(app);
    }

    switch (mode.kind) {
    case RunMode::selfTest:
        return SelfTest::run(arguments);
    case RunMode::snapshots: {
        SnapshotDelegate delegate(mode.snapshotFolder);
        delegate.setWindows([] {
            QList<SnapshotDelegate::Window> windows;
            for (const Shell::SnapshotWindow& w : Shell::snapshotWindows())
                windows.append({w.key, w.open});
            return windows;
        });
        delegate.start();
        app.exec();
        QDir(qEnvironmentVariable("VEXO_BW_DATA_DIR")).removeRecursively();
        return 0;
    }
    case RunMode::windowed:
        break;
    }

    QApplication::setQuitOnLastWindowClosed(false);
    StartupProbe::installIfRequested();
    if (const std::optional<int> status = Shell::launch(Shell::documentArguments(QCoreApplication::arguments())))
        return *status;
    return app.exec();
}
