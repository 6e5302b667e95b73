#include "TestEnvironment.h"
#include "core/AppSettings.h"
#include "core/SettingsStore.h"
#include "core/Store.h"
#include "core/StoreEvents.h"
#include "app/views/AppDelegate.h"
#include "app/views/FloatingMenuController.h"
#include "app/views/MainMenu.h"
#include "app/views/ResponderChain.h"
#include "app/views/Shell.h"
#include "app/views/ShellCommands.h"
#include "app/views/StateFileReaders.h"
#include "app/views/ShellServices.h"
#include "app/views/SingleInstance.h"
#include "app/views/TerminationSignals.h"
#include "app/views/WindowManager.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

Q_DECLARE_METATYPE(QList<Tool>)

namespace {

// Records the order of the calls the delegate makes into other subsystems.
QStringList calls;

} // namespace

class DelegateTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // Later starts of the program run on this process's data folder.
        qputenv("BW_TEST_SHARED_DATA", Store::folder().toLocal8Bit());
        ShellServices& s = ShellServices::shared();
        s.makeDocumentController = [] {
            calls << QStringLiteral("documentController");
            return static_cast<QObject*>(nullptr);
        };
        s.restoreStickyWindows = [] { calls << QStringLiteral("restoreStickies"); };
        s.installAutoLockObservers = [] { calls << QStringLiteral("autoLock"); };
        s.saveStickyNotes = [] { calls << QStringLiteral("saveStickies"); };
        s.lockPasswordBook = [] { calls << QStringLiteral("lockBook"); };
    }

    void launchList_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QList<Tool>>("expected");
        QTest::newRow("doubled and trailing commas")
            << "calculator,,scientific," << QList<Tool>{Tool::calculator, Tool::scientific};
        QTest::newRow("blank after comma is not trimmed") << "calculator, scientific" << QList<Tool>{Tool::calculator};
        QTest::newRow("other letter case") << "Calculator,LOANGPA" << QList<Tool>{};
        QTest::newRow("art name is no identifier") << "loan-gpa,loanGPA" << QList<Tool>{Tool::loanGPA};
        QTest::newRow("named twice") << "focus,timeline,focus"
                                     << QList<Tool>{Tool::focus, Tool::timeline, Tool::focus};
        QTest::newRow("hostile text") << QString(QStringLiteral("\u0000calculator,") + QString(5000, QLatin1Char('x')))
                                      << QList<Tool>{};
    }
    void launchList()
    {
        QFETCH(QString, value);
        QFETCH(QList<Tool>, expected);
        QCOMPARE(AppDelegate::launchList(value), expected);
    }

    // The whole start in its order: document controller and menus first,
    // then the floating menu, sticky notes, auto-lock and the launch list,
    // whose last tool ends in front.
    void launchRunsInOrder()
    {
        calls.clear();
        AppSettings::shared().setShowMenuAtLaunch(true);
        qputenv("VEXO_BW_OPEN", "calculator,,nonsense,scientific,");
        AppDelegate& d = AppDelegate::shared();
        d.willFinishLaunching();
        QCOMPARE(calls, QStringList{QStringLiteral("documentController")});
        QVERIFY(!QApplication::quitOnLastWindowClosed());
        QCOMPARE(MainMenu::shared().delegate(), &d);
        QVERIFY(ResponderChain::shared().chain().contains(&d));

        d.didFinishLaunching();
        // The menu first; the rest once it has been drawn.
        QVERIFY(FloatingMenuController::shared().isShowing());
        QCOMPARE(calls.size(), 1);
        QTRY_COMPARE(calls, (QStringList{QStringLiteral("documentController"), QStringLiteral("restoreStickies"),
                                         QStringLiteral("autoLock")}));
        qunsetenv("VEXO_BW_OPEN");
        QCOMPARE(MainMenu::title(MainMenu::shared().appToggleItem()), QStringLiteral("Hide Floating Menu"));
        WindowManager& wm = WindowManager::shared();
        QVERIFY(wm.window(Tool::calculator) && wm.window(Tool::calculator)->isVisible());
        QVERIFY(wm.window(Tool::scientific) && wm.window(Tool::scientific)->isVisible());
        QCOMPARE(wm.allWindows().size(), 2);
        if (QApplication::activeWindow())
            QCOMPARE(QApplication::activeWindow(), wm.window(Tool::scientific));

        // A second call changes nothing: launch runs once.
        d.didFinishLaunching();
        QCOMPARE(calls.size(), 3);
    }

    // Closing every window keeps the program running; reopen then shows the
    // floating menu, and never hides a visible one.
    void reopenShowsTheFloatingMenu()
    {
        FloatingMenuController& fm = FloatingMenuController::shared();
        QSignalSpy quit(qApp, &QCoreApplication::aboutToQuit);
        for (QWidget* w : WindowManager::shared().allWindows())
            w->close();
        fm.hide();
        QTest::qWait(50);
        QCOMPARE(quit.count(), 0);
        AppDelegate::shared().handleReopen();
        QVERIFY(fm.isShowing());
        QCOMPARE(MainMenu::title(MainMenu::shared().appToggleItem()), QStringLiteral("Hide Floating Menu"));
        AppDelegate::shared().handleReopen();
        QVERIFY(fm.isShowing());
    }

    void openToolFromMenuIgnoresStrangeItems_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<QString>("opens"); // raw value of the tool opened, or none
        QTest::newRow("raw value") << QVariant(QStringLiteral("converter")) << QStringLiteral("converter");
        QTest::newRow("title, not identifier") << QVariant(QStringLiteral("Unit Converter")) << QString();
        QTest::newRow("number") << QVariant(9) << QString();
    }
    void openToolFromMenuIgnoresStrangeItems()
    {
        QFETCH(QVariant, data);
        QFETCH(QString, opens);
        WindowManager& wm = WindowManager::shared();
        const int before = wm.allWindows().size();
        QAction item;
        item.setData(data);
        AppDelegate::shared().openToolFromMenu(&item);
        AppDelegate::shared().openToolFromMenu(nullptr);
        if (opens.isEmpty()) {
            QCOMPARE(wm.allWindows().size(), before);
        } else {
            QWidget* w = wm.window(*Tool::fromRawValue(opens));
            QVERIFY(w && w->isVisible());
        }
    }

    // Hide minimises the program's windows; Show All brings them back.
    void hideAndShowAll()
    {
        QWidget* w = WindowManager::shared().open(Tool::calculator);
        QVERIFY(w->isVisible() && !w->isMinimized());
        AppDelegate::shared().hideApplication();
        QTRY_VERIFY(w->isMinimized());
        AppDelegate::shared().unhideAllApplications();
        QTRY_VERIFY(!w->isMinimized());
        QVERIFY(w->isVisible());
        w->close();
    }

    void terminationSavesAndLocks()
    {
        calls.clear();
        AppDelegate::shared().willTerminate();
        QCOMPARE(calls, (QStringList{QStringLiteral("saveStickies"), QStringLiteral("lockBook")}));
        // aboutToQuit may follow an explicit call; the steps run once.
        AppDelegate::shared().willTerminate();
        QCOMPARE(calls.size(), 2);
    }

    // Logout and shutdown end the program with a signal; it becomes an
    // orderly quit, so the termination steps run.
    void sessionEndBecomesAQuit_data()
    {
        QTest::addColumn<int>("sig");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void sessionEndBecomesAQuit()
    {
        QFETCH(int, sig);
        QSignalSpy asked(&TerminationSignals::install(), &TerminationSignals::terminationRequested);
        ::raise(sig);
        QTRY_COMPARE(asked.count(), 1);
        QCOMPARE(asked.first().first().toInt(), sig);
    }

    // The notice about unsaved data is made only when a problem comes, and
    // then shows it.
    void storeProblemAfterLaunchShowsTheNotice()
    {
        AppDelegate::shared().willFinishLaunching();
        auto notice = [] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() == QLatin1String("storeNotice"))
                    return w;
            }
            return static_cast<QWidget*>(nullptr);
        };
        if (StoreEvents::shared().problems().isEmpty())
            QVERIFY(!notice());
        StoreEvents::shared().reportProblem({StoreEvents::Problem::Kind::saveFailed, QStringLiteral("Timeline"),
                                             Store::path(QStringLiteral("timeline.json")),
                                             QStringLiteral("the disk is full"), QString()});
        QVERIFY(notice());
        QTRY_VERIFY(notice()->isVisible());
        StoreEvents::shared().clear(QStringLiteral("Timeline"));
        QTRY_VERIFY(!notice()->isVisible());
    }

    void unsavedAtQuitNamesWhatWouldBeLost_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("saves fail") << true << false << QStringList{QStringLiteral("Study Timeline")};
        QTest::newRow("room again: the retry at quit saves it") << false << false << QStringList();
        QTest::newRow("read-only: nothing was to be saved") << true << true << QStringList();
    }
    // Quitting names the changes whose saves still fail after one more
    // try, so the user may stay; nothing when the retry goes through.
    void unsavedAtQuitNamesWhatWouldBeLost()
    {
        QFETCH(bool, diskFull);
        QFETCH(bool, readOnly);
        QFETCH(QStringList, named);
        Store::setWriteFault([](const QString&) { return QStringLiteral("No space left on device"); });
        QVERIFY(!Store::save(QJsonObject{{QStringLiteral("goals"), 1}}, QStringLiteral("timeline.json")));
        if (!diskFull)
            Store::setWriteFault({});
        Store::setReadOnly(readOnly);
        QCOMPARE(ShellCommands::unsavedAtQuit(), named);
        Store::setReadOnly(false);
        Store::setWriteFault({});
        Store::dropRetries();
        StoreEvents::shared().clear(StoreEvents::ownerOf(QStringLiteral("timeline.json")));
    }

    // The question at start knows every tool's state file, each judged by
    // its tool's reader (a value of the wrong shape is no record).
    void startQuestionKnowsEveryStateFile()
    {
        QStringList names;
        for (const Store::StateFile& f : StateFileReaders::all()) {
            names.append(f.name);
            QVERIFY2(StoreEvents::ownerOf(f.name) != f.name, qPrintable(f.name));
            QVERIFY2(f.reads && !f.reads(QJsonValue(QStringLiteral("text"))), qPrintable(f.name));
        }
        names.removeDuplicates();
        QCOMPARE(names.size(), 10);
    }

    void secondStartHandsOver_data()
    {
        QTest::addColumn<bool>("staleLock");
        QTest::addColumn<bool>("staleSocket");
        QTest::newRow("clean start") << false << false;
        QTest::newRow("lock left by a crash") << true << false;
        QTest::newRow("lock and socket left by a crash") << true << true;
    }
    // A second start hands over to the first and ends with status 0; the
    // first shows its floating menu. A lock left by a program that crashed
    // does not block the first.
    void secondStartHandsOver()
    {
        QFETCH(bool, staleLock);
        QFETCH(bool, staleSocket);
        const QString name = QStringLiteral("bw-test-handover-%1-%2%3")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(staleLock)
                                 .arg(staleSocket);
        if (staleSocket) {
            // A socket file nobody listens on any more.
            const QByteArray path = QFile::encodeName(SingleInstance(name).socketPath());
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
            ::close(fd);
            QVERIFY(QFileInfo::exists(QFile::decodeName(path)));
        }
        if (staleLock) {
            QFile lock(SingleInstance(name).lockPath());
            QVERIFY(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
            // A process id that cannot be running.
            lock.write("2147483646\nbrindleworks\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        }
        SingleInstance primary(name);
        QCOMPARE(primary.start(), SingleInstance::Role::primary);
        QSignalSpy reopen(&primary, &SingleInstance::reopenRequested);
        QProcess second;
        second.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--second-start"), name});
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 30000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(reopen.count(), 1);
    }

    // A second start naming documents hands them to the first, which opens
    // them instead of showing its floating menu.
    void secondStartHandsOverDocuments()
    {
        const QString name = QStringLiteral("bw-test-documents-%1").arg(QCoreApplication::applicationPid());
        SingleInstance primary(name);
        QCOMPARE(primary.start(), SingleInstance::Role::primary);
        QSignalSpy reopen(&primary, &SingleInstance::reopenRequested);
        QSignalSpy open(&primary, &SingleInstance::openFilesRequested);
        const QStringList documents{QStringLiteral("/tmp/Report 2026.docx"), QStringLiteral("/tmp/ünïcode%20.rtf")};
        QProcess second;
        second.start(QCoreApplication::applicationFilePath(),
                     QStringList{QStringLiteral("--second-start"), name} + documents);
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 30000);
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE(open.count(), 1);
        QCOMPARE(open.at(0).at(0).toStringList(), documents);
        QCOMPARE(reopen.count(), 0);
    }

    void documentArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("documents");
        const QString here = QDir::currentPath();
        QTest::newRow("none") << QStringList{QStringLiteral("brindleworks")} << QStringList();
        QTest::newRow("relative and absolute")
            << QStringList{QStringLiteral("brindleworks"), QStringLiteral("a.docx"), QStringLiteral("/x/b.rtf")}
            << QStringList{here + QStringLiteral("/a.docx"), QStringLiteral("/x/b.rtf")};
        QTest::newRow("options are skipped")
            << QStringList{QStringLiteral("brindleworks"), QStringLiteral("--verbose"), QStringLiteral("/x/c.odt")}
            << QStringList{QStringLiteral("/x/c.odt")};
        QTest::newRow("after -- everything counts")
            << QStringList{QStringLiteral("brindleworks"), QStringLiteral("--"), QStringLiteral("-odd.txt")}
            << QStringList{here + QStringLiteral("/-odd.txt")};
        QTest::newRow("file URL") << QStringList{QStringLiteral("brindleworks"), QStringLiteral("file:///x/d%20e.txt")}
                                  << QStringList{QStringLiteral("/x/d e.txt")};
    }
    void documentArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, documents);
        QCOMPARE(Shell::documentArguments(arguments), documents);
    }

    // Two starts at once: exactly one becomes the primary.
    void onlyOnePrimary()
    {
        const QString name = QStringLiteral("bw-test-once-%1").arg(QCoreApplication::applicationPid());
        SingleInstance first(name);
        QCOMPARE(first.start(), SingleInstance::Role::primary);
        QProcess a, b;
        a.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--second-start"), name});
        b.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--second-start"), name});
        QTRY_VERIFY_WITH_TIMEOUT(a.state() == QProcess::NotRunning && b.state() == QProcess::NotRunning, 30000);
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
    }

    // While a copy runs, its lock names it (for the read-only notice of a
    // copy that cannot reach it); once it ends, the next start takes over.
    void lockNamesItsHolder()
    {
        const QString name = QStringLiteral("bw-test-holder-%1").arg(QCoreApplication::applicationPid());
        {
            SingleInstance primary(name);
            QCOMPARE(primary.start(), SingleInstance::Role::primary);
            const QString who = SingleInstance(name).holderDescription();
            QVERIFY2(who.contains(QString::number(QCoreApplication::applicationPid())), qPrintable(who));
        }
        SingleInstance next(name);
        QCOMPARE(next.start(), SingleInstance::Role::primary);
    }

    // A holder of the lock that never answers is reported, not taken for a
    // successful hand-over.
    void silentHolderIsReported()
    {
        const QString name = QStringLiteral("bw-test-silent-%1").arg(QCoreApplication::applicationPid());
        QLockFile held(SingleInstance(name).lockPath());
        QVERIFY(held.tryLock(0));
        SingleInstance next(name);
        QCOMPARE(next.start(300), SingleInstance::Role::noAnswer);
    }

    void copiesOnOneDataFolder_data()
    {
        QTest::addColumn<bool>("otherTemp");
        QTest::addColumn<int>("status");
        QTest::newRow("same temporary folder: hands over") << false << 0;
        QTest::newRow("another temporary folder: read-only") << true << 10;
    }
    // Two copies on one data folder never both write: the later one hands
    // over to the running copy, or when it cannot reach it (its socket lives
    // in another temporary folder, or on another machine) it saves nothing.
    void copiesOnOneDataFolder()
    {
        QFETCH(bool, otherTemp);
        QFETCH(int, status);
        const QString name = QStringLiteral("bw-test-folder-%1-%2").arg(QCoreApplication::applicationPid()).arg(otherTemp);
        SingleInstance primary(name);
        QCOMPARE(primary.start(), SingleInstance::Role::primary);
        QVERIFY(QFileInfo(primary.lockPath()).absolutePath() == QFileInfo(Store::folder()).absoluteFilePath());
        QVERIFY(Store::save(QJsonObject{{QStringLiteral("owner"), QStringLiteral("first")}}, QStringLiteral("scientific.json")));
        const QByteArray before = TestEnvironment::readState(QStringLiteral("scientific.json"));
        QTemporaryDir temp;
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (otherTemp)
            env.insert(QStringLiteral("TMPDIR"), temp.path());
        second.setProcessEnvironment(env);
        second.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--second-copy"), name});
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 30000);
        QCOMPARE(second.exitCode(), status);
        QCOMPARE(TestEnvironment::readState(QStringLiteral("scientific.json")), before);
    }

    void nameIsPerUserAndDataFolder()
    {
        const QString n = SingleInstance::defaultName();
        QVERIFY(n.startsWith(QStringLiteral("brindleworks-%1-").arg(uint(::getuid()))));
        QVERIFY(n.size() < 60); // fits a local socket's name
    }
};

int main(int argc, char** argv)
{
    // The later starts below share the data folder of the test process.
    if (qEnvironmentVariableIsSet("BW_TEST_SHARED_DATA"))
        qputenv("VEXO_BW_DATA_DIR", qgetenv("BW_TEST_SHARED_DATA"));
    // The second start of the hand-over tests.
    if (argc >= 3 && std::strcmp(argv[1], "--second-start") == 0) {
        QCoreApplication app(argc, argv);
        SingleInstance second(QString::fromLocal8Bit(argv[2]));
        QStringList documents;
        for (int i = 3; i < argc; ++i)
            documents.append(QString::fromUtf8(argv[i]));
        second.setFilesToOpen(documents);
        switch (second.start()) {
        case SingleInstance::Role::handedOver:
            return 0;
        case SingleInstance::Role::primary:
            return 3;
        case SingleInstance::Role::noAnswer:
            return 4;
        }
        return 5;
    }
    // A second copy that tries to save.
    if (argc == 3 && std::strcmp(argv[1], "--second-copy") == 0) {
        QCoreApplication app(argc, argv);
        SingleInstance second(QString::fromLocal8Bit(argv[2]));
        switch (second.start(1500)) {
        case SingleInstance::Role::handedOver:
            return 0;
        case SingleInstance::Role::primary:
            return 3;
        case SingleInstance::Role::noAnswer:
            second.enterReadOnly();
            break;
        }
        const bool refused = !Store::save(QJsonObject{{QStringLiteral("owner"), QStringLiteral("second")}},
                                          QStringLiteral("scientific.json"));
        const QList<StoreEvents::Problem> told = StoreEvents::shared().problems();
        const bool toldWhy = told.size() == 2 && told.first().kind == StoreEvents::Problem::Kind::readOnly
            && StoreEvents::describe(told.first()).contains(second.lockPath());
        return refused && toldWhy ? 10 : 11;
    }
    QApplication app(argc, argv);
    DelegateTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_delegate.moc"
