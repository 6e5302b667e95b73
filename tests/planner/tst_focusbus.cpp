// Notifications at the end of a phase reach the desktop's notification
// service over the session bus. The bus test runs this program again inside
// dbus-run-session with a fake notification service on the private bus.
#include "FocusFakes.h"
#include "TestEnvironment.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

const char* kInner = "BW_FOCUS_BUS_INNER";

struct Received {
    QString appName;
    uint replacesId = 0;
    QString icon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    int timeout = 0;
};

class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<Received> received;
public Q_SLOTS:
    uint Notify(const QString& appName, uint replacesId, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout)
    {
        received.append({appName, replacesId, icon, summary, body, actions, hints, timeout});
        return uint(received.size());
    }
};

} // namespace

class FocusBusTest : public QObject {
    Q_OBJECT

    bool inner() const { return qEnvironmentVariableIsSet(kInner); }

private Q_SLOTS:
    void initTestCase()
    {
        // Outside the private bus, no bus at all: whatever the machine runs
        // stays out of this test.
        if (!inner())
            qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bw-no-bus");
    }

    // Without a session bus a phase still ends normally; nothing is posted
    // and nothing waits.
    void withoutABus()
    {
        if (inner())
            QSKIP("runs outside the private bus");
        QVERIFY(!FocusNotifier::post({QStringLiteral("t"), QStringLiteral("s"), QStringLiteral("b")}));
        FocusFakes f;
        FocusModel::Services s = FocusModel::systemServices();
        s.now = [&f] { return f.now; };
        s.playSound = [] {};
        FocusModel m(s);
        m.startPause();
        f.advance(1500);
        QElapsedTimer clock;
        clock.start();
        m.tick();
        QVERIFY(clock.elapsed() < 2000);
        QCOMPARE(m.todayCount(), 1);
        QCOMPARE(m.state().phase, FocusPhase::shortBreak);
    }

    void overTheBus()
    {
        if (!inner()) {
            const QString runner = QStandardPaths::findExecutable(QStringLiteral("dbus-run-session"));
            if (runner.isEmpty())
                QSKIP("dbus-run-session is not installed");
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
            env.insert(QString::fromLatin1(kInner), QStringLiteral("1"));
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(runner, {QStringLiteral("--"), QCoreApplication::applicationFilePath(),
                                 QStringLiteral("overTheBus")});
            QVERIFY(child.waitForStarted());
            QVERIFY(child.waitForFinished(120000));
            const QString out = QString::fromLocal8Bit(child.readAll());
            if (out.contains(QLatin1String("SKIP")))
                QSKIP(qPrintable(QStringLiteral("no private bus: ") + out.right(300)));
            QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(out));
            QVERIFY2(out.contains(QLatin1String("PASS   : FocusBusTest::overTheBus()")), qPrintable(out));
            return;
        }

        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            QSKIP("no session bus inside dbus-run-session");
        const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
        QDBusConnection service = QDBusConnection::connectToBus(address, QStringLiteral("fake-notifications"));
        QVERIFY(service.isConnected());
        FakeNotifications fake;
        QVERIFY(service.registerObject(QLatin1String(FocusNotifier::kPath), &fake, QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService(QLatin1String(FocusNotifier::kService)));

        FocusFakes f;
        FocusModel::Services s = FocusModel::systemServices();
        s.now = [&f] { return f.now; };
        s.playSound = [] {};
        FocusModel m(s);
        m.startPause();
        f.advance(1500);
        m.tick();
        QTRY_COMPARE(fake.received.size(), 1);
        m.startPause();
        f.advance(300);
        m.tick(); // the break ends
        QTRY_COMPARE(fake.received.size(), 2);

        const Received& first = fake.received.at(0);
        QCOMPARE(first.summary, QStringLiteral("Focus session complete — take a break!"));
        QCOMPARE(first.body, QStringLiteral("Next: Short Break (05:00)"));
        QCOMPARE(first.appName, QStringLiteral("Brindleworks by VEXO"));
        QCOMPARE(first.replacesId, 0u);
        QCOMPARE(first.timeout, -1);
        QVERIFY(first.actions.isEmpty());
        QCOMPARE(first.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("brindleworks"));
        QCOMPARE(fake.received.at(1).summary, QStringLiteral("Break’s over — time to focus."));
        QCOMPARE(fake.received.at(1).body, QStringLiteral("Next: Focus (25:00)"));

        // Once the service is gone, posting still returns at once.
        service.unregisterService(QLatin1String(FocusNotifier::kService));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(FocusNotifier::post({QStringLiteral("t"), QStringLiteral("s"), QStringLiteral("b")}));
        QVERIFY(clock.elapsed() < 2000);
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-notifications"));
    }
};

QTEST_GUILESS_MAIN(FocusBusTest)
#include "tst_focusbus.moc"
