#include "TestEnvironment.h"
#include "core/HandOverMessage.h"

#include <QTest>

using State = HandOverMessage::Reader::State;

class HandOverTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void documentsArriveWhole_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("chunk"); // bytes per read
        QTest::newRow("reopen") << QStringList() << 1000;
        QTest::newRow("one file") << QStringList{QStringLiteral("/home/a/Report.docx")} << 1000;
        QTest::newRow("odd names, a byte at a time")
            << QStringList{QStringLiteral("/tmp/new\nline.txt"), QStringLiteral("/tmp/é %20 end"), QStringLiteral("/x")}
            << 1;
    }
    void documentsArriveWhole()
    {
        QFETCH(QStringList, files);
        QFETCH(int, chunk);
        const QByteArray message = HandOverMessage::encode(files);
        HandOverMessage::Reader reader;
        for (qsizetype i = 0; i < message.size(); i += chunk) {
            QCOMPARE(reader.state(), State::needMore);
            reader.feed(message.mid(i, chunk));
        }
        QCOMPARE(reader.state(), State::complete);
        QCOMPARE(reader.reopen(), files.isEmpty());
        QCOMPARE(reader.files(), files);
    }

    void hostileMessagesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("unknown line") << QByteArray("open /a\ndelete /\n");
        QTest::newRow("reopen after files") << QByteArray("open /a\nreopen\n");
        QTest::newRow("endless line") << QByteArray(HandOverMessage::kMaxLineBytes + 1, 'x');
        QByteArray many;
        for (qsizetype i = 0; i <= HandOverMessage::kMaxFiles; ++i)
            many += "open /f" + QByteArray::number(i) + '\n';
        QTest::newRow("too many documents") << many + "end\n";
    }
    void hostileMessagesAreRefused()
    {
        QFETCH(QByteArray, message);
        HandOverMessage::Reader reader;
        QCOMPARE(reader.feed(message), State::refused);
        QVERIFY(reader.files().isEmpty());
        QCOMPARE(reader.feed("end\n"), State::refused);
    }
};

QTEST_GUILESS_MAIN(HandOverTest)
#include "tst_handover.moc"
