#include "TestEnvironment.h"
#include "core/SafeFile.h"
#include "core/Store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

namespace {

bool make(const QString& path, qint64 ageSeconds)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write("half a save") < 0)
        return false;
    f.close();
    const QDateTime then = QDateTime::currentDateTimeUtc().addSecs(-ageSeconds);
    return f.open(QIODevice::ReadWrite) && f.setFileTime(then, QFileDevice::FileModificationTime);
}

} // namespace

class LeftoversTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { TestEnvironment::clearDataFolder(); }

    void namesOfOurs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("target"); // empty: not one of ours
        QTest::newRow("document") << "doc.docx.XAcaVB" << "doc.docx";
        QTest::newRow("state file") << "scientific.json.wqQgdy" << "scientific.json";
        QTest::newRow("name with blanks") << "My Essay (2).rtf.aBcDeF" << "My Essay (2).rtf";
        QTest::newRow("a word in small letters") << "doc.docx.backup" << "";
        QTest::newRow("a word in capitals") << "doc.docx.BACKUP" << "";
        QTest::newRow("a capitalised word") << "doc.docx.Backup" << "";
        QTest::newRow("five letters") << "doc.docx.XAcaV" << "";
        QTest::newRow("seven letters") << "doc.docx.XAcaVBq" << "";
        QTest::newRow("a digit") << "doc.docx.XAc4VB" << "";
        QTest::newRow("not ASCII") << QStringLiteral("doc.docx.XAc\u00e9VB") << "";
        QTest::newRow("no target") << ".XAcaVB" << "";
        QTest::newRow("no dot") << "docxXAcaVB" << "";
    }
    void namesOfOurs()
    {
        QFETCH(QString, name);
        QFETCH(QString, target);
        QString found;
        QCOMPARE(SafeFile::isLeftoverName(name, &found), !target.isEmpty());
        QCOMPARE(found, target);
    }

    // The writer's temporary file has the form taken for ours. Where the
    // system allows, QSaveFile writes to a file without a name and gives it
    // one only for the moment before it replaces the target, from the same
    // generator as QTemporaryFile with the target as template: the name a
    // kill at that moment leaves behind.
    void theWriterLeavesThatForm()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("report.docx"));
        const QRegularExpression form(QStringLiteral("^report\\.docx\\.[A-Za-z]{6}$"));
        int recognised = 0;
        for (int i = 0; i < 24; ++i) {
            QTemporaryFile file(target);
            QVERIFY(file.open());
            const QString name = QFileInfo(file.fileName()).fileName();
            QVERIFY2(form.match(name).hasMatch(), qPrintable(name));
            QString meant;
            if (SafeFile::isLeftoverName(name, &meant)) {
                QCOMPARE(meant, QStringLiteral("report.docx"));
                ++recognised;
            }
        }
        QVERIFY(recognised > 12);
    }

    void removal_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<QString>("kind"); // file, link, folder
        QTest::addColumn<bool>("removed");
        QTest::newRow("old leftover") << "doc.docx.XAcaVB" << 600 << "file" << true;
        QTest::newRow("a save in progress") << "doc.docx.XAcaVB" << 2 << "file" << false;
        QTest::newRow("another document's") << "other.docx.XAcaVB" << 600 << "file" << false;
        QTest::newRow("the user's backup") << "doc.docx.backup" << 600 << "file" << false;
        QTest::newRow("a link so named") << "doc.docx.XAcaVB" << 600 << "link" << false;
        QTest::newRow("a folder so named") << "doc.docx.XAcaVB" << 600 << "folder" << false;
    }
    // A document's leftovers go when it is opened or saved; nothing else
    // does, and nothing that may still be written.
    void removal()
    {
        QFETCH(QString, name);
        QFETCH(int, ageSeconds);
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        QTemporaryDir dir;
        const QString document = dir.filePath(QStringLiteral("doc.docx"));
        QVERIFY(make(document, 0));
        const QString path = dir.filePath(name);
        if (kind == QLatin1String("link"))
            QVERIFY(make(dir.filePath(QStringLiteral("elsewhere")), 600) && QFile::link(dir.filePath("elsewhere"), path));
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir(dir.path()).mkdir(name));
        else
            QVERIFY(make(path, ageSeconds));
        QCOMPARE(SafeFile::removeLeftoversOf(document, 60), removed ? 1 : 0);
        QCOMPARE(QFileInfo::exists(path) || QFileInfo(path).isSymLink(), !removed);
        QVERIFY(QFileInfo::exists(document));
    }

    // At start the data folder loses what interrupted saves of its state
    // files, backups and kept copies left, and nothing else.
    void dataFolderAtStart()
    {
        const QStringList ours{"scientific.json.wqQgdy", "focus.json.bak.new.AbCdEf", "games.json.bak.xYzXyZ",
                               "timeline.json.unreadable-20260314T090500Z.QwErTy"};
        const QStringList others{"notes.txt.AbCdEf", "scientific.json.backup", "scientific.json"};
        for (const QString& n : ours + others)
            QVERIFY(make(Store::path(n), 600));
        QVERIFY(make(Store::path(QStringLiteral("stickies.json.AbCdEf")), 0));
        QCOMPARE(Store::removeLeftovers(Store::kOwnLeftoverAgeSeconds), int(ours.size()));
        QStringList left = QDir(Store::folder()).entryList(QDir::Files);
        left.sort();
        QStringList expected = others + QStringList{"stickies.json.AbCdEf"};
        expected.sort();
        QCOMPARE(left, expected);
        // A copy that only reads the data folder removes nothing.
        QVERIFY(make(Store::path(QStringLiteral("games.json.QwErTy")), 600));
        Store::setReadOnly(true);
        QCOMPARE(Store::removeLeftovers(0), 0);
        Store::setReadOnly(false);
    }
};

QTEST_GUILESS_MAIN(LeftoversTest)
#include "tst_leftovers.moc"
