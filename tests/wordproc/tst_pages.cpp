#include "EditorFixture.h"
#include "TestEnvironment.h"
#include "wordproc/print/WPPrint.h"
#include "wordproc/views/PageDesk.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
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

QTEST_MAIN(PagesTest)
#include "tst_pages.moc"
