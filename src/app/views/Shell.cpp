#include "app/views/Shell.h"

#include "core/Store.h"
#include "core/StoreEvents.h"
#include "core/Tool.h"
#include "app/views/AppDelegate.h"
#include "app/views/FloatingMenuController.h"
#include "app/views/FloatingPanel.h"
#include "app/views/ShellCommands.h"
#include "app/views/ShellServices.h"
#include "app/views/SingleInstance.h"
#include "app/views/StateFileReaders.h"
#include "app/views/TerminationSignals.h"
#include "app/views/WindowManager.h"
#include "notes/views/StickyWindows.h"
#include "ui/Alert.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLocale>
#include <QPointer>
#include <QFileInfo>
#include <QUrl>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

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

namespace {

// Asked when a state file cannot be read but its backup can: nothing is
// put back without a yes.
bool askToRestoreBackup(const QString& file, const QString& backup)
{
    const QFileInfo bak(backup);
    const QString owner = StoreEvents::ownerOf(QFileInfo(file).fileName());
    const QString text
        = QStringLiteral("%1: \u201c%2\u201d could not be read. The backup \u201c%3\u201d, "
                         "saved %4, reads correctly.\n\nRestore the backup in place of the unreadable file?")
              .arg(owner, QDir::toNativeSeparators(file), QDir::toNativeSeparators(backup),
                   QLocale().toString(bak.lastModified(), QLocale::LongFormat));
    return runAlert(QStringLiteral("Restore %1 from its backup?").arg(owner), text, AlertStyle::Warning,
                    {QStringLiteral("Restore Backup"), QStringLiteral("Don\u2019t Restore")})
        == alertFirstButton;
}

// Asked once at start for every state file that cannot be read while its
// backup can, instead of once per tool as each window opens.
bool askToRestoreBackups(const QList<std::pair<QString, QString>>& files)
{
    if (files.size() == 1)
        return askToRestoreBackup(files.first().first, files.first().second);
    QStringList lines;
    for (const auto& [file, backup] : files) {
        lines.append(QStringLiteral("\u2022 %1: \u201c%2\u201d (backup saved %3)")
                         .arg(StoreEvents::ownerOf(QFileInfo(file).fileName()), QDir::toNativeSeparators(file),
                              QLocale().toString(QFileInfo(backup).lastModified(), QLocale::LongFormat)));
    }
    const QString text = QStringLiteral("These files could not be read. The backup beside each of them, named "
                                        "after it with \u201c.bak\u201d added, reads correctly.\n\n%1\n\n"
                                        "Restore the backups in place of the unreadable files?")
                             .arg(lines.join(QLatin1Char('\n')));
    return runAlert(QStringLiteral("Restore %1 files from their backups?").arg(files.size()), text,
                    AlertStyle::Warning, {QStringLiteral("Restore Backups"), QStringLiteral("Don\u2019t Restore")})
        == alertFirstButton;
}

} // namespace

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
    Store::setRestoreQuestion(&askToRestoreBackup);
    AppDelegate& delegate = AppDelegate::shared();
    QObject::connect(instance, &SingleInstance::reopenRequested, &delegate, &AppDelegate::handleReopen);
    QObject::connect(instance, &SingleInstance::openFilesRequested, &delegate, &AppDelegate::openDocuments);
    delegate.setLaunchDocuments(documents);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::willTerminate);
    // The session is ending. Open dialogs are answered as if dismissed (the
    // least committal answer) so that whatever asked can finish; then
    // everything is saved and the program quits. Should something hold the
    // quit back, the process ends a moment later regardless; a busy main
    // thread is ended by the watchdog.
    TerminationSignals& termination = TerminationSignals::install();
    termination.exitWithin(1500);
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &delegate,
                     [&delegate, instance = QPointer<SingleInstance>(instance)] {
        for (int i = 0; i < 16 && QApplication::activeModalWidget(); ++i) {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->done(QDialog::Rejected);
            else
                QApplication::activeModalWidget()->hide();
        }
        QTimer::singleShot(0, &delegate, [&delegate, instance] {
            delegate.willTerminate();
            // Nobody can be asked now: what the data folder cannot take is
            // kept in the temporary folder and named at the next start.
            Store::retryFailedSaves();
            Store::keepWaitingSavesElsewhere();
            // Not quit(): that closes every window first, and a document
            // window asks about its unsaved changes, which nobody answers
            // now (their recovery copies were just written).
            QCoreApplication::exit(0);
            // A question asked before the event loop began (at start) ran a
            // loop of its own, which has just ended; the main loop would not.
            QTimer::singleShot(300, [instance] {
                delete instance.data(); // the lock goes with it
                std::fflush(nullptr);
                ::_exit(0);
            });
        });
    });
    delegate.willFinishLaunching();
    // Before any tool reads its file: what the last run could not save, and
    // the files that cannot be read.
    Store::bringBackKeptElsewhere();
    Store::askAboutBackups(StateFileReaders::all(), &askToRestoreBackups);
    // Straight on to the first window: what is queued meanwhile runs once
    // it is up.
    delegate.didFinishLaunching();
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
