#include "TestEnvironment.h"
#include "core/DataExport.h"
#include "core/SafeFile.h"
#include "core/Store.h"
#include "core/StoreEvents.h"
#include "ui/Alert.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPRecovery.h"
#include "wordproc/views/WPDocumentController.h"
#include "wordproc/views/WPRecoveryBar.h"
#include "wordproc/views/WPWindowController.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QUuid>

namespace {

void type(WPDocument* d, const QString& text)
{
    QTextCursor c(d->storage());
    c.movePosition(QTextCursor::End);
    c.insertText(text);
}

// The copy a crash leaves of a document of that file with unsaved words.
bool leaveCopy(const QString& filePath)
{
    WPRecovery recovery;
    WPDocument d;
    d.setFilePath(filePath);
    recovery.watch(&d);
    type(&d, QStringLiteral("unsaved words"));
    return recovery.writeNow(&d);
}

QStringList copies()
{
    return QDir(WPRecovery::folder()).entryList({QStringLiteral("*.json")}, QDir::Files);
}

// Answers every alert with the button titled `answer` (else the last one).
class Answer {
public:
    explicit Answer(const QString& answer)
    {
        m_previous = setAlertHandler([answer](const AlertRequest& r) {
            const qsizetype i = r.buttons.indexOf(answer);
            return alertFirstButton + int(i < 0 ? r.buttons.size() - 1 : i);
        });
    }
    ~Answer() { setAlertHandler(m_previous); }

private:
    AlertHandler m_previous;
};

} // namespace

class RecoveryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QDir(WPRecovery::folder()).removeRecursively(); }

    void copyFollowsTheDocument_data()
    {
        QTest::addColumn<QString>("then");
        QTest::addColumn<bool>("copyStays");
        QTest::newRow("nothing: a crash") << QString() << true;
        QTest::newRow("saved") << QStringLiteral("save") << false;
        QTest::newRow("closed, changes discarded") << QStringLiteral("Don’t Save") << false;
        QTest::newRow("quit without a decision") << QStringLiteral("quit") << true;
        QTest::newRow("quit, changes discarded") << QStringLiteral("quit, Don’t Save") << false;
    }
    // A change is on disk within the delay; the copy goes once the user has
    // decided about the changes, and stays when nobody did.
    void copyFollowsTheDocument()
    {
        QFETCH(QString, then);
        QFETCH(bool, copyStays);
        WPDocumentController controller;
        WPDocument* d = controller.makeUntitledDocument();
        auto* recovery = controller.findChild<WPRecovery*>();
        QVERIFY(recovery);
        type(d, QStringLiteral("draft"));
        QVERIFY(copies().isEmpty());
        // The first change starts the write, due within half a minute.
        const QList<QTimer*> timers = recovery->findChildren<QTimer*>();
        QCOMPARE(timers.size(), 1);
        QVERIFY(timers.first()->isActive() && timers.first()->interval() <= 30 * 1000);
        if (then == QLatin1String("quit"))
            controller.writeRecoveryCopies();
        else
            QVERIFY(recovery->writeNow(d));
        QCOMPARE(copies().size(), 1);
        QTemporaryDir dir;
        if (then == QLatin1String("save")) {
            QCOMPARE(controller.saveTo(d, dir.filePath(QStringLiteral("a.txt")), QStringLiteral("public.plain-text"),
                                       WPDocument::SaveOperation::saveAs),
                     WPDocumentController::SaveResult::saved);
        } else if (then == QStringLiteral("Don’t Save")) {
            Answer answer(then);
            QVERIFY(controller.close(d));
        } else if (then == QLatin1String("quit")) {
            delete controller.windowFor(d);
        } else if (then == QStringLiteral("quit, Don’t Save")) {
            // The copies made at exit come after the user's answers.
            Answer answer(QStringLiteral("Don’t Save"));
            QVERIFY(controller.reviewUnsavedDocuments());
            controller.writeRecoveryCopies();
        }
        QCOMPARE(copies().size(), copyStays ? 1 : 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // What was written comes back whole, oldest copy first; a damaged copy
    // is kept aside instead of offered.
    void copiesReadBack()
    {
        WPRecovery recovery(nullptr, 10);
        WPDocument first;
        WPDocument second;
        second.setFilePath(QStringLiteral("/somewhere/report.docx"));
        recovery.watch(&first);
        recovery.watch(&second);
        type(&first, QStringLiteral("first text"));
        QVERIFY(recovery.writeNow(&first));
        QTest::qWait(20);
        type(&second, QStringLiteral("second text"));
        second.setHeaderFooter(QStringLiteral("Head"), QStringLiteral("Foot"));
        QTRY_COMPARE(copies().size(), 2);
        QVERIFY(TestEnvironment::writeState(QStringLiteral("Recovered Documents/") + QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".json"), "{\"id\": "));
        const QList<WPRecovery::Copy> back = WPRecovery::leftBehind();
        QCOMPARE(back.size(), 2);
        QStringList offered{back.at(0).id + QStringLiteral(".json"), back.at(1).id + QStringLiteral(".json")};
        offered.sort();
        QCOMPARE(copies(), offered);
        QVERIFY(back.at(0).saved <= back.at(1).saved);
        for (const WPRecovery::Copy& copy : back) {
            const bool isSecond = copy.id == recovery.idOf(&second);
            QCOMPARE(copy.filePath, isSecond ? second.filePath() : QString());
            WPDocument restored;
            QVERIFY(WPRecovery::restore(copy, &restored, nullptr));
            QCOMPARE(restored.storage()->toPlainText(), (isSecond ? second : first).storage()->toPlainText());
            QCOMPARE(restored.headerText(), isSecond ? QStringLiteral("Head") : QString());
        }
        // Exported with the rest of the data.
        QTemporaryDir exported;
        VEXOBWExport::copyAll(Store::folder(), exported.path());
        QCOMPARE(QDir(exported.filePath(QStringLiteral("Recovered Documents"))).entryList({QStringLiteral("*.json")}).size(), 2);
    }

    // A copy that cannot be written (a full disk) is told, the earlier copy
    // stays, and it is written after the delay once there is room, with no
    // further typing; the notice then goes.
    void failedCopyIsToldAndWrittenLater()
    {
        WPRecovery recovery(nullptr, 10);
        WPDocument document;
        recovery.watch(&document);
        type(&document, QStringLiteral("kept"));
        QVERIFY(recovery.writeNow(&document));
        const QString path = WPRecovery::pathFor(recovery.idOf(&document));
        const QByteArray earlier = TestEnvironment::contents(path);
        SafeFile::setFault([](const QString&) { return QStringLiteral("No space left on device"); });
        type(&document, QStringLiteral(" and more"));
        QVERIFY(!recovery.writeNow(&document));
        QCOMPARE(StoreEvents::shared().problems().size(), 1);
        const StoreEvents::Problem p = StoreEvents::shared().problems().first();
        QCOMPARE(p.kind, StoreEvents::Problem::Kind::saveFailed);
        QCOMPARE(p.file, path);
        QVERIFY2(p.reason.contains(QStringLiteral("No space left")), qPrintable(p.reason));
        QCOMPARE(TestEnvironment::contents(path), earlier);
        SafeFile::setFault({});
        QTRY_VERIFY(StoreEvents::shared().problems().isEmpty());
        QCOMPARE(WPRecovery::leftBehind().first().id, recovery.idOf(&document));
        WPDocument restored;
        QVERIFY(WPRecovery::restore(WPRecovery::leftBehind().first(), &restored, nullptr));
        QCOMPARE(restored.storage()->toPlainText(), QStringLiteral("kept and more"));
    }

    // A recovered document that is still untitled at the next crash is
    // written as the document it came from.
    void aRecoveredDocumentKeepsItsOrigin()
    {
        WPRecovery::Copy origin;
        origin.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        origin.name = QStringLiteral("report.docx");
        origin.filePath = QStringLiteral("/somewhere/report.docx");
        WPRecovery recovery;
        WPDocument d;
        recovery.watch(&d, origin.id, &origin);
        type(&d, QStringLiteral("typed after the first crash"));
        QVERIFY(recovery.writeNow(&d));
        const QList<WPRecovery::Copy> back = WPRecovery::leftBehind();
        QCOMPARE(back.size(), 1);
        QCOMPARE(back.first().id, origin.id);
        QCOMPARE(back.first().name, origin.name);
        QCOMPARE(back.first().filePath, origin.filePath);
    }

    // The next start offers each copy in a window marked as recovered, with
    // the time of the copy; discarding removes it, saving keeps the text.
    void leftBehindCopiesAreOffered()
    {
        QVERIFY(leaveCopy(QStringLiteral("/somewhere/report.docx")));
        const QDateTime saved = WPRecovery::leftBehind().first().saved;
        WPDocumentController controller;
        QCOMPARE(controller.reopenRecoveredDocuments(), 1);
        WPDocument* d = controller.documents().first();
        QCOMPARE(d->storage()->toPlainText(), QStringLiteral("unsaved words"));
        QVERIFY(d->isEdited());
        WPWindowController* w = controller.windowFor(d);
        QVERIFY(w->windowTitle().startsWith(QStringLiteral("report (Recovered)")));
        auto* bar = w->findChild<WPRecoveryBar*>();
        QVERIFY(bar);
        const QString text = bar->findChild<QLabel*>()->text();
        QVERIFY2(text.contains(QLocale().toString(saved.toLocalTime(), QLocale::LongFormat)), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("report.docx")));
        // Kept until the user decides.
        QCOMPARE(copies().size(), 1);
        Q_EMIT bar->discardRequested();
        QVERIFY(controller.documents().isEmpty());
        QVERIFY(copies().isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Discarding cannot be undone: the bar asks first, and only Discard
    // closes the document and removes its copy.
    void discardAsksFirst_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("discarded");
        QTest::newRow("Cancel keeps the recovered text") << QStringLiteral("Cancel") << false;
        QTest::newRow("Discard removes it") << QStringLiteral("Discard") << true;
    }
    void discardAsksFirst()
    {
        QFETCH(QString, answer);
        QFETCH(bool, discarded);
        QVERIFY(leaveCopy(QStringLiteral("/somewhere/essay.docx")));
        WPDocumentController controller;
        QCOMPARE(controller.reopenRecoveredDocuments(), 1);
        auto* bar = controller.windowFor(controller.documents().first())->findChild<WPRecoveryBar*>();
        QVERIFY(bar);
        QPushButton* discard = nullptr;
        for (QPushButton* b : bar->findChildren<QPushButton*>()) {
            if (b->text() == QLatin1String("Discard"))
                discard = b;
        }
        QVERIFY(discard);
        AlertRequest asked;
        const AlertHandler previous = setAlertHandler([&](const AlertRequest& r) {
            asked = r;
            return alertFirstButton + int(r.buttons.indexOf(answer));
        });
        discard->click();
        setAlertHandler(previous);
        QCOMPARE(asked.title, QStringLiteral("Discard the recovered text of \u201cessay.docx\u201d?"));
        QCOMPARE(asked.buttons, (QStringList{QStringLiteral("Discard"), QStringLiteral("Cancel")}));
        QCOMPARE(controller.documents().isEmpty(), discarded);
        QCOMPARE(copies().isEmpty(), discarded);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(RecoveryTest)
#include "tst_recovery.moc"
