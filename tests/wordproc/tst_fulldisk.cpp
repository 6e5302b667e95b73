#include "TestEnvironment.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPFormat.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>


Q_DECLARE_METATYPE(WPFormat::DocType)

// Saving a document when the disk fills up part of the way: the save
// fails with a reason and the file keeps its previous version. The disk
// is made "full" by a limit on the size of any file this process writes;
// the new text is small enough to sit in the write buffer until the last
// flush, which is where an unchecked save would lose it.
class FullDiskTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void failedSaveKeepsThePreviousFile_data()
    {
        QTest::addColumn<WPFormat::DocType>("type");
        QTest::newRow("plain text") << WPFormat::DocType::PlainText;
        QTest::newRow("RTF") << WPFormat::DocType::Rtf;
        QTest::newRow("HTML") << WPFormat::DocType::Html;
        QTest::newRow("WordML") << WPFormat::DocType::WordML;
        QTest::newRow("DOCX") << WPFormat::DocType::Docx;
        QTest::newRow("ODT") << WPFormat::DocType::Odt;
        QTest::newRow("RTFD") << WPFormat::DocType::Rtfd;
    }
    void failedSaveKeepsThePreviousFile()
    {
        QFETCH(WPFormat::DocType, type);
        const QString typeName = WPFormat::typeName(type);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("letter"));
        WPDocument document;
        QTextCursor(document.storage()).insertText(QStringLiteral("first version"));
        QString error;
        QVERIFY2(document.writeTo(path, typeName, &error), qPrintable(error));
        WPDocument before;
        QVERIFY(before.read(path, typeName, &error));

        QTextCursor c(document.storage());
        c.movePosition(QTextCursor::End);
        // Random words do not compress: the zipped formats grow too.
        QString words;
        for (int i = 0; i < 1500; ++i)
            words += QString::number(quint64(i) * 2654435761u % 1000003, 36) + QLatin1Char(i % 12 ? ' ' : '\n');
        c.insertText(words);
        bool saved = true;
        {
            TestEnvironment::FullDisk full(4096);
            saved = document.writeTo(path, typeName, &error);
        }
        QVERIFY(!saved);
        QVERIFY(!error.isEmpty());
        WPDocument after;
        QVERIFY2(after.read(path, typeName, &error), qPrintable(error));
        QCOMPARE(after.storage()->toPlainText(), before.storage()->toPlainText());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
    }
};

QTEST_MAIN(FullDiskTest)
#include "tst_fulldisk.moc"
