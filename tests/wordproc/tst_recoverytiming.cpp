#include "TestEnvironment.h"
#include "core/SafeFile.h"
#include "core/Store.h"
#include "core/StoreEvents.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPRecovery.h"
#include "wordproc/views/WPRecoveryBar.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

namespace {

void type(WPDocument* d, const QString& text)
{
    QTextCursor c(d->storage());
    c.movePosition(QTextCursor::End);
    c.insertText(text);
}

// The text the copy of `document` on disk holds; empty when there is none.
QString copied(const WPRecovery& recovery, const WPDocument& document)
{
    for (const WPRecovery::Copy& c : WPRecovery::leftBehind()) {
        if (c.id == recovery.idOf(&document)) {
            WPDocument back;
            return WPRecovery::restore(c, &back, nullptr) ? back.storage()->toPlainText() : QString();
        }
    }
    return {};
}

} // namespace

class RecoveryTimingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QDir(WPRecovery::folder()).removeRecursively();
        QDir(WPRecovery::lastResortFolder()).removeRecursively();
        SafeFile::setFault({});
        for (const StoreEvents::Problem& p : StoreEvents::shared().problems())
            StoreEvents::shared().clear(p.owner);
    }

    void whenTheCopyIsWritten_data()
    {
        QTest::addColumn<int>("keyEveryMs");
        QTest::addColumn<int>("typingMs");
        QTest::addColumn<int>("copiesWhileTyping"); // at least
        // Pause 100 ms, longest wait 300 ms (the program's are 2 s and 5 s).
        QTest::newRow("a pause after each key") << 250 << 800 << 2;
        QTest::newRow("typing that goes on") << 30 << 1000 << 2;
        QTest::newRow("one key") << 1000 << 1 << 0;
    }
    // Written a pause after the typing stops, and while it goes on at the
    // longest wait; in the end the copy holds every key.
    void whenTheCopyIsWritten()
    {
        QFETCH(int, keyEveryMs);
        QFETCH(int, typingMs);
        QFETCH(int, copiesWhileTyping);
        WPRecovery recovery(nullptr, 100, 300);
        WPDocument document;
        recovery.watch(&document);
        QElapsedTimer clock;
        clock.start();
        QString typed;
        QStringList seen;
        while (clock.elapsed() < typingMs) {
            type(&document, QStringLiteral("k"));
            typed += QLatin1Char('k');
            QTest::qWait(keyEveryMs);
            recovery.waitForWrites();
            QCoreApplication::processEvents();
            const QString now = copied(recovery, document);
            if (!now.isEmpty() && !seen.contains(now))
                seen.append(now);
        }
        QVERIFY2(seen.size() >= copiesWhileTyping, qPrintable(seen.join(QLatin1Char(' '))));
        QTRY_COMPARE_WITH_TIMEOUT(copied(recovery, document), typed, 2000);
    }

    // Taking the snapshot is all the interface thread does: the copy is
    // written later, by the worker, and a later copy never lands before an
    // earlier one.
    void writtenOffTheInterfaceThread()
    {
        WPRecovery recovery(nullptr, 10, 10);
        WPDocument document;
        recovery.watch(&document);
        type(&document, QStringLiteral("first"));
        recovery.writeSoon(&document);
        type(&document, QStringLiteral(" second"));
        QVERIFY(recovery.writeNow(&document));
        recovery.waitForWrites();
        QCoreApplication::processEvents();
        QCOMPARE(copied(recovery, document), QStringLiteral("first second"));
    }

    // At quit, a copy the data folder cannot take goes to the temporary
    // folder; the next start offers it and its bar names where it is.
    // When even that fails, the document is named as lost.
    void lastResortAtQuit_data()
    {
        QTest::addColumn<bool>("temporaryFails");
        QTest::newRow("kept in the temporary folder") << false;
        QTest::newRow("nowhere") << true;
    }
    void lastResortAtQuit()
    {
        QFETCH(bool, temporaryFails);
        WPRecovery recovery(nullptr, 60000, 60000);
        WPDocument document;
        document.setFilePath(QStringLiteral("/somewhere/essay.docx"));
        recovery.watch(&document);
        type(&document, QStringLiteral("the last words"));
        SafeFile::setFault([temporaryFails](const QString& path) {
            const bool elsewhere = path.startsWith(Store::lastResortFolder());
            return !elsewhere || temporaryFails ? QStringLiteral("No space left on device") : QString();
        });
        const QStringList lost = recovery.writeAll();
        SafeFile::setFault({});
        QCOMPARE(lost, temporaryFails ? QStringList{QStringLiteral("essay.docx")} : QStringList());
        const QList<WPRecovery::Copy> back = WPRecovery::leftBehind();
        QCOMPARE(back.size(), temporaryFails ? 0 : 1);
        if (temporaryFails)
            return;
        QVERIFY(back.first().isInTemporaryFolder());
        QCOMPARE(QFileInfo(back.first().storedAt).absolutePath(), WPRecovery::lastResortFolder());
        const QString message = WPRecoveryBar::message(back.first(), QLocale());
        QVERIFY2(message.contains(QDir::toNativeSeparators(back.first().storedAt)), qPrintable(message));
    }

    // At quit a document whose copy already holds every change is not
    // written again: quitting stays quick with long documents.
    void quitWritesOnlyWhatChanged()
    {
        WPRecovery recovery(nullptr, 60000, 60000);
        WPDocument document;
        recovery.watch(&document);
        type(&document, QStringLiteral("kept"));
        QVERIFY(recovery.writeNow(&document));
        int writes = 0;
        SafeFile::setFault([&writes](const QString&) {
            ++writes;
            return QString();
        });
        QCOMPARE(recovery.writeAll(), QStringList());
        QCOMPARE(writes, 0);
        SafeFile::setFault({});
    }
};

QTEST_MAIN(RecoveryTimingTest)
#include "tst_recoverytiming.moc"
