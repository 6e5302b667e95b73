#include "OpenableBook.h"
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

namespace {
struct Receiver : QObject {
    int received = 0;
    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::ChildAdded && e->type() != QEvent::ChildRemoved)
            ++received;
        return QObject::event(e);
    }
};
} // namespace

class PasswordBookTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sharedIsOneBook()
    {
        QCOMPARE(&PasswordBookModel::shared(), &PasswordBookModel::shared());
        QVERIFY(PasswordBookModel::shared().isLocked());
        QVERIFY(!PasswordBookModel::shared().hasKey());
    }

    void lockOfALockedKeylessBookDoesNothing()
    {
        OpenableBook book;
        QSignalSpy locked(&book, &PasswordBookModel::lockedChanged);
        QSignalSpy message(&book, &PasswordBookModel::messageChanged);
        book.lock();
        QCOMPARE(book.message(), QString());
        QCOMPARE(locked.count(), 0);
        QCOMPARE(message.count(), 0);
    }

    void lockDropsEverything_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("withTimer");
        QTest::newRow("open with entries and idle timer") << QByteArray(32, '\x5a') << 3 << true;
        QTest::newRow("open, empty book, no timer") << QByteArray(32, '\x01') << 0 << false;
        QTest::newRow("open without a key") << QByteArray() << 2 << true;
    }

    void lockDropsEverything()
    {
        QFETCH(QByteArray, key);
        QFETCH(int, entries);
        QFETCH(bool, withTimer);
        OpenableBook book;
        QPointer<QTimer> timer = withTimer ? new QTimer : nullptr;
        if (timer)
            timer->start(15000);
        book.open(key, OpenableBook::someEntries(entries), timer);
        QVERIFY(!book.isLocked());
        QCOMPARE(book.entries().size(), entries);

        QSignalSpy locked(&book, &PasswordBookModel::lockedChanged);
        QSignalSpy message(&book, &PasswordBookModel::messageChanged);
        book.lock();
        QVERIFY(book.isLocked());
        QVERIFY(!book.hasKey());
        QVERIFY(book.entries().isEmpty());
        QVERIFY(!book.hasIdleTimer());
        if (timer)
            QVERIFY(!timer->isActive());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(timer.isNull()); // released, not left behind
        QCOMPARE(book.message(), QStringLiteral("Locked."));
        QCOMPARE(locked.count(), 1);
        QCOMPARE(message.count(), 1);

        // A second lock finds nothing to do.
        book.lock();
        QCOMPARE(locked.count(), 1);
        QCOMPARE(message.count(), 1);
    }

    void idleTimerMayLockTheBook()
    {
        OpenableBook book;
        auto* timer = new QTimer;
        connect(timer, &QTimer::timeout, &book, &PasswordBookModel::lock);
        timer->start(1);
        book.open(QByteArray(32, 'k'), OpenableBook::someEntries(1), timer);
        QTRY_VERIFY(book.isLocked());
        QVERIFY(!book.hasIdleTimer());
    }

    void lockDoesNotTouchTheCallersKeyCopy()
    {
        OpenableBook book;
        const QByteArray key(32, '\x7f');
        book.open(key, {}, nullptr);
        book.lock();
        QCOMPARE(key, QByteArray(32, '\x7f'));
    }

    void observersAreInstalledOnce()
    {
        OpenableBook book;
        QVERIFY(!book.observersInstalled());
        book.installAutoLockObservers();
        QVERIFY(book.observersInstalled());
        book.installAutoLockObservers();
        QVERIFY(book.observersInstalled());
        // No bus here: installing stays silent and the book stays usable.
        book.open(QByteArray(32, 'k'), {}, nullptr);
        book.lock();
        QVERIFY(book.isLocked());
    }

    void inputIsRecordedAsActivity_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("recorded");
        QTest::newRow("key down") << int(QEvent::KeyPress) << true;
        QTest::newRow("mouse button down") << int(QEvent::MouseButtonPress) << true;
        QTest::newRow("scroll wheel") << int(QEvent::Wheel) << true;
        QTest::newRow("key up") << int(QEvent::KeyRelease) << false;
        QTest::newRow("mouse move") << int(QEvent::MouseMove) << false;
        QTest::newRow("mouse button up") << int(QEvent::MouseButtonRelease) << false;
        QTest::newRow("timer") << int(QEvent::Timer) << false;
    }

    void inputIsRecordedAsActivity()
    {
        QFETCH(int, type);
        QFETCH(bool, recorded);
        OpenableBook book;
        book.installAutoLockObservers();
        QSignalSpy spy(&book, &PasswordBookModel::activityRecorded);
        const QDateTime before = book.lastActivity();
        QTest::qWait(5);
        // Any object of the application: the book watches them all.
        Receiver someWidget;
        QEvent event(static_cast<QEvent::Type>(type));
        QCoreApplication::sendEvent(&someWidget, &event);
        QCOMPARE(spy.count() > 0, recorded);
        QCOMPARE(book.lastActivity() > before, recorded);
        // The event still reaches its receiver.
        QCOMPARE(someWidget.received, 1);
    }

    void inputIsNotWatchedBeforeInstall()
    {
        OpenableBook book;
        QSignalSpy spy(&book, &PasswordBookModel::activityRecorded);
        QObject target;
        QEvent event(QEvent::KeyPress);
        QCoreApplication::sendEvent(&target, &event);
        QCOMPARE(spy.count(), 0);
    }
};

QTEST_MAIN(PasswordBookTest)
#include "tst_passwordbook.moc"
