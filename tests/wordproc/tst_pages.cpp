#include "EditorFixture.h"
#include "TestEnvironment.h"
#include "wordproc/WPInsert.h"
#include "wordproc/WPPages.h"
#include "wordproc/print/WPPrint.h"
#include "wordproc/views/PageDesk.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

// The pages of the page view (status bar, marks, the line each page begins
// with) are the pages of the exported PDF.
class PagesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void paragraphsStartOnThePrintedPage_data();
    void paragraphsStartOnThePrintedPage();
    void pagesFollowEdits_data();
    void pagesFollowEdits();
    void pictureTooWideForTheLineMovesAlone_data();
    void pictureTooWideForTheLineMovesAlone();
};

namespace {

// Paragraphs "P000 …", "P001 …" of one to nine lines' worth of words, the
// same for every run.
void fill(QTextDocument* doc, const QString& family, qreal size, int count, bool mixedSizes)
{
    static const char* words[] = {"river", "bridge", "an", "mill", "morning", "of", "crossing", "water",
                                  "the", "lantern", "quietly", "harbour", "by", "stone"};
    quint32 seed = 7;
    auto next = [&seed](quint32 n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    QTextCursor c(doc);
    for (int i = 0; i < count; ++i) {
        QTextCharFormat f;
        f.setFontFamilies({family});
        f.setFontPointSize(mixedSizes ? size * (1 + next(3) * 0.5) : size);
        if (i)
            c.insertBlock();
        QString text = QStringLiteral("P%1").arg(i, 3, 10, QLatin1Char('0'));
        const quint32 length = 1 + next(9) * next(12);
        for (quint32 w = 0; w < length; ++w)
            text += QLatin1Char(' ') + QLatin1String(words[next(14)]);
        c.insertText(text, f);
    }
}

} // namespace

void PagesTest::paragraphsStartOnThePrintedPage_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<qreal>("size");
    QTest::addColumn<int>("paragraphs");
    QTest::addColumn<bool>("mixed");
    const QString ui = QApplication::font().family();
    QTest::newRow("system 12") << ui << 12.0 << 130 << false;
    QTest::newRow("system 9") << ui << 9.0 << 160 << false;
    QTest::newRow("system 14.5 mixed") << ui << 14.5 << 90 << true;
    QTest::newRow("serif 11") << QStringLiteral("DejaVu Serif") << 11.0 << 120 << false;
    QTest::newRow("serif 17 mixed") << QStringLiteral("DejaVu Serif") << 17.0 << 60 << true;
    QTest::newRow("mono 10") << QStringLiteral("DejaVu Sans Mono") << 10.0 << 140 << false;
    QTest::newRow("rounded 13") << QStringLiteral("Quicksand") << 13.0 << 110 << false;
    QTest::newRow("sans 24") << QStringLiteral("DejaVu Sans") << 24.0 << 40 << false;
}

void PagesTest::paragraphsStartOnThePrintedPage()
{
    QFETCH(QString, family);
    QFETCH(qreal, size);
    QFETCH(int, paragraphs);
    QFETCH(bool, mixed);
    EditorFixture e;
    QTextDocument* doc = e.doc->storage();
    fill(doc, family, size, paragraphs, mixed);
    e.window->updateCounts();
    QTRY_VERIFY(e.view()->isLaidOut());
    e.window->updateCounts();

    // On screen: the page whose slice holds each paragraph's first line.
    const QList<qreal> starts = e.view()->pageStarts();
    QList<int> onScreen;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const qreal top = doc->documentLayout()->blockBoundingRect(b).top() + b.layout()->lineAt(0).y();
        onScreen.append(int(std::upper_bound(starts.begin(), starts.end(), top + 0.01) - starts.begin()) - 1);
    }

    // In the PDF: the page whose text holds each paragraph's "Pnnn".
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pages.pdf"));
    QVERIFY(WPPrint::exportPDF(*doc, e.doc->pageSetup(), QString(), QString(), QStringLiteral("t"), path));
    QPdfDocument pdf;
    QCOMPARE(pdf.load(path), QPdfDocument::Error::None);
    QList<int> printed(paragraphs, -1);
    static const QRegularExpression marker(QStringLiteral("P(\\d{3})"));
    for (int page = 0; page < pdf.pageCount(); ++page) {
        for (const QRegularExpressionMatch& m : marker.globalMatch(pdf.getAllText(page).text()))
            printed[m.captured(1).toInt()] = page;
    }

    QVERIFY(pdf.pageCount() >= 2);
    QCOMPARE(onScreen, printed);
    QCOMPARE(e.state()->pages(), pdf.pageCount());
    QCOMPARE(e.view()->desk()->markPositions().mid(0, pdf.pageCount() - 1).size(), pdf.pageCount() - 1);
    QCOMPARE(WPPrint::pageCount(*doc, e.doc->pageSetup()), pdf.pageCount());
}

// After each kind of edit the view finds again only the pages from the edit
// on; they must be the pages found from the top.
void PagesTest::pagesFollowEdits_data()
{
    QTest::addColumn<double>("at"); // where, as a share of the text
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("erased"); // characters deleted there first
    QTest::newRow("a word near the top") << 0.02 << QStringLiteral("word ") << 0;
    QTest::newRow("new paragraphs in the middle") << 0.5 << QStringLiteral("a\nb\nc\n") << 0;
    QTest::newRow("a long paragraph's worth") << 0.3 << QStringLiteral("lantern ").repeated(90) << 0;
    QTest::newRow("paragraphs erased") << 0.4 << QString() << 900;
    QTest::newRow("text at the end") << 1.0 << QStringLiteral("\nthe end") << 0;
    QTest::newRow("erased at the very start") << 0.0 << QString() << 40;
}

void PagesTest::pagesFollowEdits()
{
    QFETCH(double, at);
    QFETCH(QString, typed);
    QFETCH(int, erased);
    EditorFixture e;
    QTextDocument* doc = e.doc->storage();
    fill(doc, QApplication::font().family(), 12, 150, true);
    QTRY_VERIFY(e.view()->isLaidOut());
    e.window->updateCounts();
    const auto fromTheTop = [&] {
        QList<qreal> tops;
        for (const WPPages::Page& p : WPPages::pages(*doc, WPPages::pageHeight(e.doc->pageSetup())))
            tops.append(p.top);
        return tops;
    };
    QCOMPARE(e.view()->pageStarts(), fromTheTop());
    const int position = int(at * (doc->characterCount() - 1));
    e.select(position, std::min(position + erased, doc->characterCount() - 1));
    // One key at a time, the pages found after each as when typing.
    if (erased)
        e.key(Qt::Key_Delete);
    QCoreApplication::processEvents();
    for (const QChar ch : typed) {
        if (ch == QLatin1Char('\n'))
            e.key(Qt::Key_Return);
        else
            e.type(QString(ch));
        QCoreApplication::processEvents();
    }
    e.window->updateCounts();
    QCOMPARE(e.view()->pageStarts(), fromTheTop());
    QCOMPARE(e.state()->pages(), WPPrint::pageCount(*doc, e.doc->pageSetup()));
}

void PagesTest::pictureTooWideForTheLineMovesAlone_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("widthPt");
    QTest::addColumn<bool>("moves");
    QTest::newRow("as wide as the column") << QStringLiteral("See figure: ") << 468 << true;
    QTest::newRow("wider than what is left")
        << QStringLiteral("See the figure below, drawn from the survey of the river: ") << 300 << true;
    QTest::newRow("fits after the words") << QStringLiteral("See figure: ") << 120 << false;
}

void PagesTest::pictureTooWideForTheLineMovesAlone()
{
    QFETCH(QString, before);
    QFETCH(int, widthPt);
    QFETCH(bool, moves);
    EditorFixture e;
    QTextDocument* doc = e.doc->storage();
    QImage red(widthPt, 100, QImage::Format_RGB32);
    red.fill(Qt::red);
    red.setDotsPerMeterX(2835); // 72 dpi: one pixel a point
    red.setDotsPerMeterY(2835);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    QTextCursor c(doc);
    c.insertText(QStringLiteral("Plain line."));
    c.insertBlock();
    c.insertText(before);
    QVERIFY(WPInsert::insertPicture(c, png, QStringLiteral("red.png"), 468));
    c.insertText(QStringLiteral(" after"));
    QTRY_VERIFY(e.view()->isLaidOut());

    // On screen, also after an edit earlier in the paragraph: the words keep
    // a line of their own height, the picture begins the next line.
    for (int edit = 0; edit < 2; ++edit) {
        if (edit) {
            e.select(doc->lastBlock().position(), doc->lastBlock().position());
            e.type(QStringLiteral("So "));
        }
        QTest::qWait(20);
        const QTextBlock plain = doc->firstBlock();
        const QTextBlock block = doc->lastBlock();
        doc->documentLayout()->blockBoundingRect(block);
        const QTextLayout* lines = block.layout();
        const int picture = int(block.text().indexOf(QChar::ObjectReplacementCharacter));
        int line = 0;
        while (line + 1 < lines->lineCount() && lines->lineAt(line + 1).textStart() <= picture)
            ++line;
        QCOMPARE(line, moves ? 1 : 0);
        if (moves)
            QCOMPARE(lines->lineAt(0).height(), plain.layout()->lineAt(0).height());
    }

    // In the PDF: the words sit right above the picture, not in a band.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("figure.pdf"));
    QVERIFY(WPPrint::exportPDF(*doc, e.doc->pageSetup(), QString(), QString(), QStringLiteral("t"), path));
    QPdfDocument pdf;
    QCOMPARE(pdf.load(path), QPdfDocument::Error::None);
    QImage page(612, 792, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter(&page).drawImage(0, 0, pdf.render(0, page.size()));
    int pictureTop = -1, pictureLeft = page.width(), inkBottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QRgb p = page.pixel(x, y);
            const bool isRed = qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
            if (isRed && pictureTop < 0)
                pictureTop = y;
            if (isRed)
                pictureLeft = std::min(pictureLeft, x);
            if (!isRed && qGray(p) < 140 && (pictureTop < 0 || y < pictureTop))
                inkBottom = y;
        }
    }
    QVERIFY(pictureTop > 0 && inkBottom > 0);
    if (moves)
        QVERIFY2(pictureTop - inkBottom < 12, qPrintable(QStringLiteral("%1 %2").arg(inkBottom).arg(pictureTop)));
    else
        QVERIFY(pictureLeft > 72 + 40); // after the words on their line
}

QTEST_MAIN(PagesTest)
#include "tst_pages.moc"
