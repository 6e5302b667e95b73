#include "app/views/Shell.h"

#include "core/Tool.h"
#include "app/views/AppDelegate.h"
#include "app/views/FloatingMenuController.h"
#include "app/views/FloatingPanel.h"
#include "app/views/ShellCommands.h"
#include "app/views/ShellServices.h"
#include "app/views/SingleInstance.h"
#include "app/views/TerminationSignals.h"
#include "app/views/WindowManager.h"
#include "notes/views/StickyWindows.h"

#include <QApplication>
#include <QFileInfo>
#include <QUrl>
#include <QTimer>
#include <cstdio>

namespace Shell {

QStringList documentArguments(const QStringList& arguments)
{
    QStringList paths;
    bool options = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (options && a == QLatin1String("--")) {
            options = false;
            continue;
        }
        if (a.isEmpty() || (options && a.startsWith(QLatin1Char('-'))))
            continue;
        const QUrl url(a);
        const QString path = url.isLocalFile() ? url.toLocalFile() : a;
        paths.append(QFileInfo(path).absoluteFilePath());
    }
    return paths;
}

std::optional<int> launch(const QStringList& documents)
{
    installShellServices();
    auto* instance = new SingleInstance(SingleInstance::defaultName(), qApp);
    instance->setFilesToOpen(documents);
    switch (instance->start()) {
    case SingleInstance::Role::handedOver:
        return 0;
    case SingleInstance::Role::noAnswer: {
        // Its files are not ours to write: show the data, save nothing.
        std::fputs("Brindleworks is already running but does not answer; opening the data read-only.\n", stderr);
        instance->enterReadOnly();
        break;
    }
    case SingleInstance::Role::primary:
        break;
    }
    AppDelegate& delegate = AppDelegate::shared();
    QObject::connect(instance, &SingleInstance::reopenRequested, &delegate, &AppDelegate::handleReopen);
    QObject::connect(instance, &SingleInstance::openFilesRequested, &delegate, &AppDelegate::openDocuments);
    delegate.setLaunchDocuments(documents);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::willTerminate);
    QObject::connect(&TerminationSignals::install(), &TerminationSignals::terminationRequested, qApp,
                     &QCoreApplication::quit);
    delegate.willFinishLaunching();
    QTimer::singleShot(0, &delegate, &AppDelegate::didFinishLaunching);
    return std::nullopt;
}

QList<SnapshotWindow> snapshotWindows()
{
    // The word processor's window comes from its own documents where they
    // are part of the build.
    installShellServices();
    QList<SnapshotWindow> list;
    for (const Tool t : Tool::allCases()) {
        if (t == Tool::wordProcessor && ShellServices::shared().openSampleWordDocument) {
            list.append({t.rawValue(), [] { return ShellServices::shared().openSampleWordDocument(); }});
            continue;
        }
        list.append({t.rawValue(), [t] { return WindowManager::shared().open(t); }});
    }
    list.append({QStringLiteral("sticky-note"), [] { return StickyWindows::snapshotWindow(); }});
    list.append({QStringLiteral("settings"), [] { return ShellCommands::openSettings(); }});
    list.append({QStringLiteral("help"), [] { return ShellCommands::openHelp(); }});
    list.append({QStringLiteral("about"), [] { return ShellCommands::openAbout(); }});
    for (const bool vertical : {true, false}) {
        list.append({vertical ? QStringLiteral("floating-menu-v") : QStringLiteral("floating-menu-h"), [vertical] {
                         static FloatingPanel* panels[2] = {nullptr, nullptr};
                         FloatingPanel*& p = panels[vertical ? 1 : 0];
                         if (!p) {
                             FloatingMenuView::Options o = FloatingMenuView::Options::current();
                             o.vertical = vertical;
                             p = FloatingMenuController::makePanel(o);
                         }
                         return static_cast<QWidget*>(p);
                     }});
    }
    return list;
}

} // namespace Shell
