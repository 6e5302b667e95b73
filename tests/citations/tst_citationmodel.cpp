#include "TestEnvironment.h"
#include "core/Json.h"
#include "core/Store.h"
#include "citations/CitationModel.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kFile = QStringLiteral("citations.json");
const QByteArray kSourceId = "6F9619FF-8B86-D011-B42D-00C04FC964FF";

// A complete, valid file; the damaged variants below change one thing.
QByteArray validFile(const QByteArray& style = "\"APA\"", const QByteArray& fields = "{\"title\": \"Walden\"}",
                     const QByteArray& id = "\"" + kSourceId + "\"")
{
    return "{\"style\": " + style + ", \"sources\": [{\"id\": " + id + ", \"fields\": " + fields
        + "}], \"draft\": {\"id\": \"" + kSourceId + "\", \"fields\": {}}}";
}

CitationSource source(const QString& title, const QString& year)
{
    CitationSource s;
    s.fields.insert(QStringLiteral("title"), title);
    s.fields.insert(QStringLiteral("year"), year);
    return s;
}

} // namespace

class CitationModelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnvironment::clearDataFolder(); }

    void readsAValidFile()
    {
        QVERIFY(TestEnvironment::writeState(kFile, validFile()));
        CitationModel m;
        QCOMPARE(m.style(), QStringLiteral("APA"));
        QCOMPARE(m.sources().size(), 1);
        QCOMPARE(m.sources().first().id, QUuid::fromString(QString::fromLatin1(kSourceId)));
        QCOMPARE(m.sources().first().fields.value(QStringLiteral("title")), QStringLiteral("Walden"));
        QVERIFY(m.draft().fields.isEmpty());
    }

    void damagedFileLeavesDefaults_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("not JSON") << QByteArray("{\"style\": ");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("top level is an array") << QByteArray("[]");
        QTest::newRow("style missing") << QByteArray("{\"sources\": [], \"draft\": {\"id\": \"" + kSourceId
                                                     + "\", \"fields\": {}}}");
        QTest::newRow("draft missing") << QByteArray("{\"style\": \"APA\", \"sources\": []}");
        QTest::newRow("style is a number") << validFile("7");
        QTest::newRow("sources is an object") << QByteArray("{\"style\": \"APA\", \"sources\": {}, \"draft\": {\"id\": \""
                                                            + kSourceId + "\", \"fields\": {}}}");
        QTest::newRow("field value is a number") << validFile("\"APA\"", "{\"year\": 1854}");
        QTest::newRow("fields is a list") << validFile("\"APA\"", "[\"Walden\"]");
        QTest::newRow("id is not a UUID") << validFile("\"APA\"", "{}", "\"walden\"");
        QTest::newRow("id is null") << validFile("\"APA\"", "{}", "null");
        QTest::newRow("field text one past its limit")
            << validFile("\"APA\"", "{\"title\": \"" + QByteArray(Json::kMaxTextLength + 1, 'w') + "\"}");
    }

    void damagedFileLeavesDefaults()
    {
        QFETCH(QByteArray, contents);
        QVERIFY(TestEnvironment::writeState(kFile, contents));
        CitationModel m;
        QCOMPARE(m.style(), QString());
        QVERIFY(m.sources().isEmpty());
        QVERIFY(m.draft().fields.isEmpty());
        QVERIFY(!m.draft().id.isNull());
        // Reading never rewrites the file.
        QCOMPARE(TestEnvironment::readState(kFile), contents);
    }

    void changesAreSavedAndReadBack()
    {
        CitationSource draft = source(QStringLiteral("Draft title"), QString());
        {
            CitationModel m;
            QSignalSpy styleSpy(&m, &CitationModel::styleChanged);
            QSignalSpy sourcesSpy(&m, &CitationModel::sourcesChanged);
            m.setStyle(QStringLiteral("MLA"));
            m.setSources({source(QStringLiteral("Walden"), QStringLiteral("1854")),
                          source(QStringLiteral("Ünïcode “quoted” title\n"), QStringLiteral("2020"))});
            m.setDraft(draft);
            m.setStyle(QStringLiteral("MLA"));
            QCOMPARE(styleSpy.count(), 1);
            QCOMPARE(sourcesSpy.count(), 1);
        }
        CitationModel again;
        QCOMPARE(again.style(), QStringLiteral("MLA"));
        QCOMPARE(again.sources().size(), 2);
        QCOMPARE(again.sources().at(1).fields.value(QStringLiteral("title")),
                 QStringLiteral("Ünïcode “quoted” title\n"));
        QCOMPARE(again.draft(), draft);
    }

    void savedRecordRoundTrips_data()
    {
        QTest::addColumn<int>("sourceCount");
        QTest::addColumn<QString>("style");
        QTest::newRow("nothing saved yet") << 0 << QString();
        QTest::newRow("many sources") << 50 << QStringLiteral("APA");
    }

    void savedRecordRoundTrips()
    {
        QFETCH(int, sourceCount);
        QFETCH(QString, style);
        CitationModel::Saved saved;
        saved.style = style;
        for (int i = 0; i < sourceCount; ++i)
            saved.sources.append(source(QStringLiteral("Title %1").arg(i), QString::number(1900 + i)));
        QVERIFY(Store::save(saved, kFile));
        const std::optional<CitationModel::Saved> back = Store::load<CitationModel::Saved>(kFile);
        QVERIFY(back);
        QCOMPARE(*back, saved);
        // The source order is the user's, not sorted.
        if (sourceCount > 1)
            QCOMPARE(back->sources.first().fields.value(QStringLiteral("title")), QStringLiteral("Title 0"));
    }
};

QTEST_MAIN(CitationModelTest)
#include "tst_citationmodel.moc"
