// The auto-lock observers against a private message bus that stands in for
// both the system and the session bus, with a fake logind on it.
#include "OpenableBook.h"
#include "TestEnvironment.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

const QString kSessionPath = QStringLiteral("/org/freedesktop/login1/session/c7");

class FakeLogind : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    int asked = 0;
    bool outsideSessions = false;
public Q_SLOTS:
    QDBusObjectPath GetSessionByPID(uint)
    {
        ++asked;
        if (outsideSessions) {
            sendErrorReply(QStringLiteral("org.freedesktop.login1.NoSessionForPID"), QStringLiteral("no session"));
            return {};
        }
        return QDBusObjectPath(kSessionPath);
    }
};

} // namespace

class AutoLockBusTest : public QObject {
    Q_OBJECT

    QProcess m_daemon;
    QString m_address;
    FakeLogind m_logind;

    QDBusConnection fake() { return QDBusConnection(QStringLiteral("fake-services")); }

    void emitSignal(const QString& path, const QString& interface, const QString& name, const QVariantList& args)
    {
        QDBusMessage m = QDBusMessage::createSignal(path, interface, name);
        m.setArguments(args);
        QVERIFY(fake().send(m));
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            QSKIP("dbus-daemon is not installed");
        m_daemon.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                QStringLiteral("--print-address=1")});
        QVERIFY(m_daemon.waitForStarted());
        QTRY_VERIFY(m_daemon.canReadLine());
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        QVERIFY(!m_address.isEmpty());
        // Before anything opens a bus: both default buses are the private one.
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toUtf8());

        QDBusConnection f = QDBusConnection::connectToBus(m_address, QStringLiteral("fake-services"));
        QVERIFY(f.isConnected());
        QVERIFY(f.registerObject(QStringLiteral("/org/freedesktop/login1"), &m_logind, QDBusConnection::ExportAllSlots));
        QVERIFY(f.registerService(QStringLiteral("org.freedesktop.login1")));
    }

    void cleanupTestCase()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-services"));
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.kill();
            m_daemon.waitForFinished();
        }
    }

    void signalsLock_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<bool>("locks");
        const QString manager = QStringLiteral("org.freedesktop.login1.Manager");
        const QString session = QStringLiteral("org.freedesktop.login1.Session");
        const QString saver = QStringLiteral("org.freedesktop.ScreenSaver");
        QTest::newRow("system goes to sleep") << QStringLiteral("/org/freedesktop/login1") << manager
                                              << QStringLiteral("PrepareForSleep") << QVariantList{true} << true;
        QTest::newRow("system wakes up") << QStringLiteral("/org/freedesktop/login1") << manager
                                         << QStringLiteral("PrepareForSleep") << QVariantList{false} << false;
        QTest::newRow("own session locked") << kSessionPath << session << QStringLiteral("Lock") << QVariantList{}
                                            << true;
        QTest::newRow("another session locked") << QStringLiteral("/org/freedesktop/login1/session/c9") << session
                                                << QStringLiteral("Lock") << QVariantList{} << false;
        QTest::newRow("screen saver starts") << QStringLiteral("/org/freedesktop/ScreenSaver") << saver
                                             << QStringLiteral("ActiveChanged") << QVariantList{true} << true;
        QTest::newRow("screen saver stops") << QStringLiteral("/ScreenSaver") << saver
                                            << QStringLiteral("ActiveChanged") << QVariantList{false} << false;
    }

    void signalsLock()
    {
        QFETCH(QString, path);
        QFETCH(QString, interface);
        QFETCH(QString, name);
        QFETCH(QVariantList, args);
        QFETCH(bool, locks);

        OpenableBook book;
        const int askedBefore = m_logind.asked;
        book.installAutoLockObservers();
        book.installAutoLockObservers();
        // The book asks logind for its session once, then listens there.
        QTRY_COMPARE(m_logind.asked, askedBefore + 1);
        QTest::qWait(50);
        book.open(QByteArray(32, 'k'), OpenableBook::someEntries(2), nullptr);

        emitSignal(path, interface, name, args);
        if (locks) {
            QTRY_VERIFY(book.isLocked());
            QVERIFY(!book.hasKey());
            QVERIFY(book.entries().isEmpty());
            QCOMPARE(book.message(), QStringLiteral("Locked."));
        } else {
            // Give the bus time to deliver, then check nothing happened.
            QTest::qWait(200);
            QVERIFY(!book.isLocked());
            QCOMPARE(book.entries().size(), 2);
        }
        QCOMPARE(m_logind.asked, askedBefore + 1);
    }

    // A process outside any login session (started by a service manager,
    // say) cannot tell which session is its own; any session lock counts.
    void outsideASessionAnySessionLockLocks()
    {
        m_logind.outsideSessions = true;
        OpenableBook book;
        const int askedBefore = m_logind.asked;
        book.installAutoLockObservers();
        QTRY_COMPARE(m_logind.asked, askedBefore + 1);
        QTest::qWait(50);
        book.open(QByteArray(32, 'k'), {}, nullptr);
        emitSignal(QStringLiteral("/org/freedesktop/login1/session/c9"), QStringLiteral("org.freedesktop.login1.Session"),
                   QStringLiteral("Lock"), {});
        QTRY_VERIFY(book.isLocked());
        m_logind.outsideSessions = false;
    }
};

QTEST_MAIN(AutoLockBusTest)
#include "tst_autolockbus.moc"
