#include "WPTestFiles.h"
#include "TestEnvironment.h"
#include "wordproc/WPDocument.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <cmath>
#include <limits>

using Op = WPDocument::SaveOperation;
Q_DECLARE_METATYPE(WPDocument::SaveOperation)
Q_DECLARE_METATYPE(WPPageSetup)
Q_DECLARE_METATYPE(WPDocAttributes)

namespace {

const qreal notANumber = std::numeric_limits<qreal>::quiet_NaN();
const qreal inf = std::numeric_limits<qreal>::infinity();
const QString plain = QStringLiteral("public.plain-text");

WPPageSetup page(qreal w, qreal h, qreal top, qreal left, qreal bottom, qreal right)
{
    WPPageSetup s;
    s.paperSize = QSizeF(w, h);
    s.topMargin = top;
    s.leftMargin = left;
    s.bottomMargin = bottom;
    s.rightMargin = right;
    return s;
}

} // namespace

class DocumentTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clampKeepsRoomForText_data();
    void clampKeepsRoomForText();
    void pageSetupFromAttributes_data();
    void pageSetupFromAttributes();
    void headerFooterTravelInTheComment_data();
    void headerFooterTravelInTheComment();
    void commentWithoutMarkerChangesNothing();
    void pictureWarningRule_data();
    void pictureWarningRule();
    void pictureWarningText_data();
    void pictureWarningText();
    void editedFollowsEveryKindOfChange();
    void plainTextRoundTrip();
    void readFailureLeavesTheDocument();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
};

void DocumentTest::clampKeepsRoomForText_data()
{
    QTest::addColumn<WPPageSetup>("in");
    QTest::addColumn<WPPageSetup>("out");
    QTest::newRow("letter stays") << page(612, 792, 72, 72, 72, 72) << page(612, 792, 72, 72, 72, 72);
    QTest::newRow("landscape stays") << page(792, 612, 36, 54, 36, 54) << page(792, 612, 36, 54, 36, 54);
    QTest::newRow("negative margins") << page(612, 792, -5, -1, -100, -0.5) << page(612, 792, 0, 0, 0, 0);
    QTest::newRow("wide margins on narrow paper")
        << page(300, 792, 72, 144, 72, 144) << page(300, 792, 72, 114, 72, 114);
    QTest::newRow("uneven margins keep their proportion")
        << page(612, 792, 72, 600, 72, 200) << page(612, 792, 72, 405, 72, 135);
    QTest::newRow("margins taller than the paper")
        << page(612, 792, 700, 72, 700, 72) << page(612, 792, 360, 72, 360, 72);
    QTest::newRow("zero paper") << page(0, 0, 72, 72, 72, 72) << page(612, 792, 72, 72, 72, 72);
    QTest::newRow("tiny paper") << page(10, 20, 72, 72, 72, 72) << page(72, 72, 0, 0, 0, 0);
    QTest::newRow("absurd paper") << page(1e12, 1e30, 72, 72, 72, 72) << page(14400, 14400, 72, 72, 72, 72);
    QTest::newRow("not a number") << page(notANumber, inf, notANumber, inf, -inf, 72) << page(612, 792, 72, 72, 72, 72);
}

void DocumentTest::clampKeepsRoomForText()
{
    QFETCH(WPPageSetup, in);
    QFETCH(WPPageSetup, out);
    const WPPageSetup got = WPDocument::clamped(in);
    QCOMPARE(got.paperSize, out.paperSize);
    QVERIFY(qAbs(got.leftMargin - out.leftMargin) < 1e-9);
    QVERIFY(qAbs(got.rightMargin - out.rightMargin) < 1e-9);
    QVERIFY(qAbs(got.topMargin - out.topMargin) < 1e-9);
    QVERIFY(qAbs(got.bottomMargin - out.bottomMargin) < 1e-9);
    QVERIFY(got.textWidth() >= 72 - 1e-9);
    QVERIFY(got.textHeight() >= 72 - 1e-9);

    // The document applies the same rule to every page setup it is given.
    WPDocument document;
    document.setPageSetup(in);
    QCOMPARE(document.pageSetup(), got);
}

void DocumentTest::pageSetupFromAttributes_data()
{
    QTest::addColumn<WPDocAttributes>("attributes");
    QTest::addColumn<WPPageSetup>("expected");
    const WPPageSetup current = page(595, 842, 50, 60, 70, 80);
    QTest::newRow("nothing keeps everything") << WPDocAttributes{} << current;
    WPDocAttributes all;
    all.paperSize = QSizeF(792, 612);
    all.leftMargin = 36;
    all.rightMargin = 37;
    all.topMargin = 38;
    all.bottomMargin = 39;
    QTest::newRow("everything") << all << page(792, 612, 38, 36, 39, 37);
    WPDocAttributes some;
    some.leftMargin = 10;
    QTest::newRow("one margin") << some << page(595, 842, 50, 10, 70, 80);
    WPDocAttributes badPaper;
    badPaper.paperSize = QSizeF(-612, 792);
    QTest::newRow("negative paper is ignored") << badPaper << current;
    WPDocAttributes zeroPaper;
    zeroPaper.paperSize = QSizeF(612, 0);
    QTest::newRow("zero paper is ignored") << zeroPaper << current;
    WPDocAttributes nanPaper;
    nanPaper.paperSize = QSizeF(notANumber, 792);
    QTest::newRow("paper that is not a number") << nanPaper << current;
    WPDocAttributes nanMargin;
    nanMargin.topMargin = notANumber;
    nanMargin.rightMargin = -40;
    QTest::newRow("bad margins") << nanMargin << page(595, 842, 50, 60, 70, 0);
    WPDocAttributes hostile;
    hostile.paperSize = QSizeF(100, 100);
    hostile.leftMargin = 1e300;
    hostile.rightMargin = 1e300;
    QTest::newRow("margins wider than the paper") << hostile << page(100, 100, 28.0 * 50 / 120, 14, 28.0 * 70 / 120, 14);
}

void DocumentTest::pageSetupFromAttributes()
{
    QFETCH(WPDocAttributes, attributes);
    QFETCH(WPPageSetup, expected);
    const WPPageSetup current = page(595, 842, 50, 60, 70, 80);
    const WPPageSetup got = WPDocument::pageSetupFrom(current, attributes);
    QCOMPARE(got.paperSize, expected.paperSize);
    QVERIFY2(qAbs(got.leftMargin - expected.leftMargin) < 1e-6, qPrintable(QString::number(got.leftMargin)));
    QVERIFY(qAbs(got.rightMargin - expected.rightMargin) < 1e-6);
    QVERIFY2(qAbs(got.topMargin - expected.topMargin) < 1e-6, qPrintable(QString::number(got.topMargin)));
    QVERIFY(qAbs(got.bottomMargin - expected.bottomMargin) < 1e-6);
    QVERIFY(got.textWidth() >= 72 - 1e-6 && got.textHeight() >= 72 - 1e-6);
}

void DocumentTest::headerFooterTravelInTheComment_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("footer");
    QTest::addColumn<QString>("comment"); // "-" for none
    const QString us(QChar(0x1F));
    QTest::newRow("neither") << QString() << QString() << QStringLiteral("-");
    QTest::newRow("only footer") << QString() << QStringLiteral("{page} / {pages}")
                                 << QStringLiteral("VEXO-HF") + us + us + QStringLiteral("{page} / {pages}");
    QTest::newRow("only header") << QStringLiteral("{title}") << QString()
                                 << QStringLiteral("VEXO-HF") + us + QStringLiteral("{title}") + us;
    QTest::newRow("both") << QStringLiteral("Lab report") << QStringLiteral("{date}")
                          << QStringLiteral("VEXO-HF") + us + QStringLiteral("Lab report") + us
                                 + QStringLiteral("{date}");
}

void DocumentTest::headerFooterTravelInTheComment()
{
    QFETCH(QString, header);
    QFETCH(QString, footer);
    QFETCH(QString, comment);
    WPDocument written;
    written.setHeaderFooter(header, footer);
    const WPDocAttributes a = written.documentAttributes();
    if (comment == QLatin1String("-"))
        QVERIFY(!a.comment);
    else
        QCOMPARE(a.comment.value_or(QString()), comment);
    QCOMPARE(*a.paperSize, QSizeF(612, 792));
    QCOMPARE(*a.leftMargin, 72.0);

    WPDocument read;
    read.setHeaderFooter(QStringLiteral("old"), QStringLiteral("old"));
    read.apply(a);
    if (a.comment) {
        QCOMPARE(read.headerText(), header);
        QCOMPARE(read.footerText(), footer);
    } else {
        QCOMPARE(read.headerText(), QStringLiteral("old"));
    }
}

void DocumentTest::commentWithoutMarkerChangesNothing()
{
    WPDocument document;
    WPDocAttributes a;
    a.comment = QStringLiteral("Written by hand") + QChar(0x1F) + QStringLiteral("x");
    document.apply(a);
    QCOMPARE(document.headerText(), QString());
    QCOMPARE(document.footerText(), QString());
}

void DocumentTest::pictureWarningRule_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("images");
    QTest::addColumn<bool>("warned");
    QTest::addColumn<Op>("operation");
    QTest::addColumn<bool>("asks");
    const QString rtf = QStringLiteral("public.rtf");
    QTest::newRow("rtf with pictures") << rtf << true << false << Op::save << true;
    QTest::newRow("save as odt") << QStringLiteral("org.oasis-open.opendocument.text") << true << false << Op::saveAs
                                 << true;
    QTest::newRow("flat rtfd warns") << QStringLiteral("com.apple.flat-rtfd") << true << false << Op::save << true;
    QTest::newRow("docx keeps pictures") << WPDocument::kDocxType << true << false << Op::save << false;
    QTest::newRow("rtfd keeps pictures") << WPDocument::kRtfdType << true << false << Op::saveAs << false;
    QTest::newRow("no pictures") << rtf << false << false << Op::save << false;
    QTest::newRow("already chose to save anyway") << rtf << true << true << Op::save << false;
    QTest::newRow("autosave elsewhere") << rtf << true << false << Op::autosaveElsewhere << false;
    QTest::newRow("a copy warns too") << plain << true << false << Op::saveTo << true;
}

void DocumentTest::pictureWarningRule()
{
    QFETCH(QString, type);
    QFETCH(bool, images);
    QFETCH(bool, warned);
    QFETCH(Op, operation);
    QFETCH(bool, asks);
    QCOMPARE(WPDocument::pictureWarningNeeded(type, images, warned, operation), asks);

    // The document finds its pictures anywhere, table cells included.
    WPDocument document;
    QTextCursor c(document.storage());
    c.insertText(QStringLiteral("Text"));
    QTextTable* table = c.insertTable(2, 2);
    if (images) {
        QTextImageFormat image;
        image.setName(QStringLiteral("wpimage:a.png"));
        table->cellAt(1, 1).firstCursorPosition().insertImage(image);
    }
    QCOMPARE(document.containsImages(), images);
    if (warned)
        document.setWarnedAboutImages();
    QCOMPARE(document.shouldWarnAboutPictures(type, operation), asks);
}

void DocumentTest::pictureWarningText_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");
    QTest::newRow("rtf") << QStringLiteral("/home/a/Report.rtf") << QStringLiteral("(RTF)");
    QTest::newRow("upper case") << QStringLiteral("/home/a/notes.Odt") << QStringLiteral("(ODT)");
    QTest::newRow("two dots") << QStringLiteral("/home/a/v1.2.html") << QStringLiteral("(HTML)");
    QTest::newRow("no extension") << QStringLiteral("/home/a/Report") << QStringLiteral("()");
    QTest::newRow("dot in the folder only") << QStringLiteral("/home/a.b/Report") << QStringLiteral("()");
}

void DocumentTest::pictureWarningText()
{
    QFETCH(QString, path);
    QFETCH(QString, shown);
    const QString text = WPDocument::pictureWarningText(path);
    QVERIFY2(text.contains(QStringLiteral("Other formats ") + shown + QStringLiteral(" may save")), qPrintable(text));
    QVERIFY(text.startsWith(QStringLiteral("Pictures are kept in Word (.docx) and Rich Text with Attachments")));
    QVERIFY(text.endsWith(QStringLiteral("Save anyway?")));
}

void DocumentTest::editedFollowsEveryKindOfChange()
{
    WPDocument document;
    QSignalSpy spy(&document, &WPDocument::editedChanged);
    QVERIFY(!document.isEdited());
    QTextCursor(document.storage()).insertText(QStringLiteral("a"));
    QVERIFY(document.isEdited());
    document.setEdited(false);
    QVERIFY(!document.isEdited());
    QCOMPARE(spy.count(), 2);

    document.setPageSetup(document.pageSetup());
    QVERIFY2(!document.isEdited(), "the same page setup is no change");
    WPPageSetup wide = document.pageSetup();
    wide.leftMargin = wide.rightMargin = 144;
    document.setPageSetup(wide);
    QVERIFY(document.isEdited());
    document.setEdited(false);
    document.setHeaderFooter(QString(), QStringLiteral("{page}"));
    QVERIFY(document.isEdited());

    // Reading a file leaves a clean document with nothing to undo.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    QVERIFY(writeFile(path, "read back"));
    QVERIFY(document.read(path, plain, nullptr));
    QVERIFY(!document.isEdited());
    QVERIFY(!document.storage()->isUndoAvailable());
    QVERIFY(!spy.isEmpty() && !spy.constLast().at(0).toBool());
}

void DocumentTest::plainTextRoundTrip()
{
    QTemporaryDir dir;
    WPDocument written;
    const QString text = QStringLiteral("First line é ✓\nSecond line\n\nFourth");
    written.storage()->setPlainText(text);
    const QString path = dir.filePath(QStringLiteral("round.txt"));
    QString error;
    QVERIFY2(written.writeTo(path, plain, &error), qPrintable(error));
    QCOMPARE(QString::fromUtf8(readAll(path)), text);

    WPDocument read;
    QVERIFY2(read.read(path, plain, &error), qPrintable(error));
    QCOMPARE(read.storage()->toPlainText(), text);
    // Only the written file is there: no temporary file left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("round.txt")});
}

void DocumentTest::readFailureLeavesTheDocument()
{
    QTemporaryDir dir;
    WPDocument document;
    document.storage()->setPlainText(QStringLiteral("keep me"));
    QString error;
    QVERIFY(!document.read(dir.filePath(QStringLiteral("missing.txt")), plain, &error));
    QVERIFY(error.contains(QStringLiteral("missing.txt")));
    QCOMPARE(document.storage()->toPlainText(), QStringLiteral("keep me"));

    // A file too large to hold is refused before it is read.
    QFile huge(dir.filePath(QStringLiteral("huge.txt")));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(3) << 30));
    huge.close();
    QVERIFY(!document.read(huge.fileName(), plain, &error));
    QVERIFY(error.contains(QStringLiteral("too large")));
    QCOMPARE(document.storage()->toPlainText(), QStringLiteral("keep me"));

    // A folder is always read as RTF with attachments; an empty one is none.
    QDir(dir.path()).mkdir(QStringLiteral("empty.rtfd"));
    error.clear();
    QVERIFY(!document.read(dir.filePath(QStringLiteral("empty.rtfd")), plain, &error));
    QVERIFY(!error.isEmpty());
}

void DocumentTest::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("unwritable folder") << plain << true;
    QTest::newRow("type without a writer") << QStringLiteral("com.example.unknown") << false;
}

void DocumentTest::failedSaveKeepsTheOldFile()
{
    QFETCH(QString, type);
    QFETCH(bool, readOnlyFolder);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/report.txt");
    QVERIFY(writeFile(path, "the old text"));

    WPDocument document;
    document.storage()->setPlainText(QStringLiteral("the new text"));
    std::optional<ReadOnlyFolder> lock;
    if (readOnlyFolder) {
        lock.emplace(folder);
        if (lock->writable())
            QSKIP("this system lets the test write into a read-only folder");
    }
    QString error;
    QVERIFY(!document.writeTo(path, type, &error));
    QVERIFY(!error.isEmpty());
    lock.reset();
    QCOMPARE(readAll(path), QByteArray("the old text"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("report.txt")});
}

QTEST_MAIN(DocumentTest)
#include "tst_document.moc"
