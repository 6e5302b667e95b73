#include "WPTestFiles.h"
#include "TestEnvironment.h"
#include "ui/Alert.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPDocumentSample.h"
#include "wordproc/WPText.h"
#include "wordproc/print/WPPrint.h"
#include "wordproc/views/WPOpenSavePanels.h"
#include "wordproc/views/WPPrintPanels.h"
#include "wordproc/views/WPWindowController.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QPdfWriter>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QSignalSpy>
#include <QDir>
#include <QPageRanges>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QTimer>
#include <QUrl>

Q_DECLARE_METATYPE(WPPageSetup)

namespace {

WPPageSetup paper(qreal w, qreal h)
{
    WPPageSetup s;
    s.paperSize = QSizeF(w, h);
    return s;
}

// A document of `pages` pages, each starting with "Page N text".
void fillPages(QTextDocument* doc, int pages)
{
    QTextCursor c(doc);
    for (int i = 1; i <= pages; ++i) {
        if (i > 1) {
            QTextBlockFormat b;
            b.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            c.insertBlock(b);
        }
        c.insertText(QStringLiteral("Page %1 text").arg(i));
    }
}

// The text of every page of a PDF.
QStringList pageTexts(const QString& path)
{
    QPdfDocument pdf;
    if (pdf.load(path) != QPdfDocument::Error::None)
        return {};
    QStringList texts;
    for (int i = 0; i < pdf.pageCount(); ++i)
        texts.append(pdf.getAllText(i).text());
    return texts;
}

QImage renderPage(const QString& path, int page, QSize size)
{
    QPdfDocument pdf;
    if (pdf.load(path) != QPdfDocument::Error::None)
        return {};
    // The renderer leaves the paper transparent: put it on white.
    QImage white(size, QImage::Format_RGB32);
    white.fill(Qt::white);
    QPainter painter(&white);
    painter.drawImage(0, 0, pdf.render(page, size));
    painter.end();
    return white;
}

// Columns and rows of `image` holding pixels that `match` accepts.
QRect extentOf(const QImage& image, const std::function<bool(QRgb)>& match, QRect within = QRect())
{
    if (within.isNull())
        within = image.rect();
    QRect found;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            if (match(image.pixel(x, y)))
                found |= QRect(x, y, 1, 1);
        }
    }
    return found;
}

bool isRed(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
}

bool isInk(QRgb p)
{
    return qGray(p) < 200;
}

// The text layer of a PDF as pdftotext reads it, one string per page; none
// when the tool is missing.
std::optional<QStringList> extractedPages(const QString& path)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return std::nullopt;
    QProcess run;
    run.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    if (!run.waitForFinished(30000) || run.exitCode() != 0)
        return QStringList();
    QStringList pages = QString::fromUtf8(run.readAllStandardOutput()).split(QChar(0x0C));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// Only the characters that carry text, in order.
QString inked(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (!c.isSpace() && c != QChar::ObjectReplacementCharacter && c != QChar(0x2022))
            out += c;
    }
    return out;
}

} // namespace

class PrintTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textLayerHoldsEveryCharacterOnce_data();
    void textLayerHoldsEveryCharacterOnce();
    void printsThePagesAskedFor_data();
    void printsThePagesAskedFor();
    void panelsOpenInTheDocumentsFolder_data();
    void panelsOpenInTheDocumentsFolder();
    void printPanelOffersTheDocumentsFolder();
    void initTestCase();
    void expand_data();
    void expand();
    void mediumDate_data();
    void mediumDate();
    void footerCountsThePages();
    void pageSizeFollowsThePageSetup_data();
    void pageSizeFollowsThePageSetup();
    void pictureKeepsItsSizeInPoints();
    void headerAndFooterSitInTheMargins();
    void noLineOrRowOnTwoPages_data();
    void noLineOrRowOnTwoPages();
    void pageCountIsThePdfsPageCount();
    void printToFileGivesTheSamePages();
    void failedExportLeavesNothing_data();
    void failedExportLeavesNothing();
    void proposedPdfName_data();
    void proposedPdfName();
    void exportFromTheMenu();
    void pageSetupPanelUpdatesTheDocument();
    void realPanelsAnswer_data();
    void realPanelsAnswer();
};

void PrintTest::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void PrintTest::expand_data()
{
    QTest::addColumn<QString>("templ");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("expected");
    QTest::newRow("page of pages") << QStringLiteral("{page} / {pages}") << QString() << QStringLiteral("2 / 3");
    QTest::newRow("pages alone is never page+s") << QStringLiteral("{pages}") << QString() << QStringLiteral("3");
    QTest::newRow("page then s") << QStringLiteral("{page}s") << QString() << QStringLiteral("2s");
    QTest::newRow("every occurrence") << QStringLiteral("{page}{pages}{page}") << QString() << QStringLiteral("232");
    QTest::newRow("title") << QStringLiteral("{title} – draft") << QStringLiteral("Report.docx")
                           << QStringLiteral("Report.docx – draft");
    QTest::newRow("title is not expanded again") << QStringLiteral("{title}") << QStringLiteral("{page} {date}")
                                                 << QStringLiteral("{page} {date}");
    QTest::newRow("date") << QStringLiteral("Printed {date}") << QString() << QStringLiteral("Printed Dec 7, 2026");
    QTest::newRow("braces around") << QStringLiteral("{{page}}") << QString() << QStringLiteral("{2}");
    QTest::newRow("case matters") << QStringLiteral("{Page} {PAGES}") << QString() << QStringLiteral("{Page} {PAGES}");
    QTest::newRow("unclosed") << QStringLiteral("{page") << QString() << QStringLiteral("{page");
    QTest::newRow("empty") << QString() << QStringLiteral("x") << QString();
}

void PrintTest::expand()
{
    QFETCH(QString, templ);
    QFETCH(QString, title);
    QFETCH(QString, expected);
    QCOMPARE(WPPrint::expand(templ, 2, 3, QDate(2026, 12, 7), title), expected);
}

void PrintTest::mediumDate_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << QStringLiteral("Dec 7, 2026");
    QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << QStringLiteral("7 Dec 2026");
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << QStringLiteral("07.12.2026");
}

void PrintTest::mediumDate()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);
    QCOMPARE(WPPrint::mediumDate(QDate(2026, 12, 7), locale), expected);
    QCOMPARE(WPPrint::mediumDate(QDate(), locale), QString());
}

void PrintTest::footerCountsThePages()
{
    QTemporaryDir dir;
    QTextDocument doc;
    fillPages(&doc, 3);
    const QString path = dir.filePath(QStringLiteral("three.pdf"));
    QVERIFY(WPPrint::exportPDF(doc, WPPageSetup(), QString(), QStringLiteral("{page} / {pages}"),
                               QStringLiteral("Three"), path));
    const QStringList pages = pageTexts(path);
    QCOMPARE(pages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QVERIFY2(pages.at(i).contains(QStringLiteral("Page %1 text").arg(i + 1)), qPrintable(pages.at(i)));
        QVERIFY2(pages.at(i).contains(QStringLiteral("%1 / 3").arg(i + 1)), qPrintable(pages.at(i)));
    }
}

void PrintTest::pageSizeFollowsThePageSetup_data()
{
    QTest::addColumn<WPPageSetup>("setup");
    QTest::newRow("letter") << paper(612, 792);
    QTest::newRow("letter landscape") << paper(792, 612);
    QTest::newRow("a4") << paper(595, 842);
    QTest::newRow("custom") << paper(400, 300);
}

void PrintTest::pageSizeFollowsThePageSetup()
{
    QFETCH(WPPageSetup, setup);
    QTemporaryDir dir;
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("One page"));
    const QString path = dir.filePath(QStringLiteral("size.pdf"));
    QVERIFY(WPPrint::exportPDF(doc, setup, QString(), QString(), QString(), path));
    QPdfDocument pdf;
    QCOMPARE(pdf.load(path), QPdfDocument::Error::None);
    QCOMPARE(pdf.pageCount(), 1);
    const QSizeF size = pdf.pagePointSize(0);
    QVERIFY2(qAbs(size.width() - setup.paperSize.width()) < 0.5 && qAbs(size.height() - setup.paperSize.height()) < 0.5,
             qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
}

void PrintTest::pictureKeepsItsSizeInPoints()
{
    // A picture as wide as the text area of a Letter page (612 - 2 × 72).
    QTextDocument doc;
    QImage red(200, 50, QImage::Format_RGB32);
    red.fill(Qt::red);
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("wpimage:red.png")), red);
    QTextImageFormat image;
    image.setName(QStringLiteral("wpimage:red.png"));
    image.setWidth(WPText::toPixels(468));
    image.setHeight(WPText::toPixels(100));
    QTextCursor(&doc).insertImage(image);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.pdf"));
    QVERIFY(WPPrint::exportPDF(doc, WPPageSetup(), QString(), QString(), QString(), path));
    // At 72 dots per inch one pixel is one point.
    const QImage page = renderPage(path, 0, QSize(612, 792));
    const QRect box = extentOf(page, isRed);
    QVERIFY2(qAbs(box.left() - 72) <= 1 && qAbs(box.right() + 1 - 540) <= 1 && qAbs(box.height() - 100) <= 1,
             qPrintable(QStringLiteral("%1,%2 %3x%4").arg(box.x()).arg(box.y()).arg(box.width()).arg(box.height())));
    QVERIFY(qAbs(box.top() - 72) <= 2);
}

void PrintTest::headerAndFooterSitInTheMargins()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Body"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hf.pdf"));
    QVERIFY(WPPrint::exportPDF(doc, WPPageSetup(), QStringLiteral("HEADER LINE"), QStringLiteral("FOOTER LINE"),
                               QString(), path));
    // Four pixels to the point, so that thin strokes reach their colour.
    const QImage page = renderPage(path, 0, QSize(612 * 4, 792 * 4));
    const QRect header = extentOf(page, isInk, QRect(0, 0, 612 * 4, 72 * 4));
    const QRect footer = extentOf(page, isInk, QRect(0, 720 * 4, 612 * 4, 72 * 4));
    QVERIFY(!header.isNull() && !footer.isNull());
    // Centred in the text width and in the height of each margin, small.
    QVERIFY2(qAbs(header.center().x() / 4.0 - 306) <= 3, qPrintable(QString::number(header.center().x())));
    QVERIFY2(qAbs(header.center().y() / 4.0 - 36) <= 3, qPrintable(QString::number(header.center().y())));
    QVERIFY2(qAbs(footer.center().y() / 4.0 - 756) <= 3, qPrintable(QString::number(footer.center().y())));
    QVERIFY(header.height() <= 12 * 4);
    // Dark grey, not black.
    int darkest = 255;
    for (int x = header.left(); x <= header.right(); ++x) {
        for (int y = header.top(); y <= header.bottom(); ++y)
            darkest = qMin(darkest, qGray(page.pixel(x, y)));
    }
    QVERIFY2(darkest >= 70 && darkest <= 100, qPrintable(QString::number(darkest)));
    QVERIFY(pageTexts(path).value(0).contains(QStringLiteral("HEADER LINE")));

    // Without a header the top margin stays blank.
    QVERIFY(WPPrint::exportPDF(doc, WPPageSetup(), QString(), QStringLiteral("{page}"), QString(), path));
    QVERIFY(extentOf(renderPage(path, 0, QSize(612, 792)), isInk, QRect(0, 0, 612, 70)).isNull());
}

void PrintTest::noLineOrRowOnTwoPages_data()
{
    QTest::addColumn<bool>("table");
    QTest::newRow("lines") << false;
    QTest::newRow("table rows") << true;
}

void PrintTest::noLineOrRowOnTwoPages()
{
    // A line cut by the end of a page would be drawn on both pages.
    QFETCH(bool, table);
    QTextDocument doc;
    QTextCursor c(&doc);
    const int count = 150;
    if (table) {
        QTextTable* t = c.insertTable(count, 2);
        for (int r = 0; r < count; ++r) {
            t->cellAt(r, 0).firstCursorPosition().insertText(QStringLiteral("Row%1").arg(r, 3, 10, QLatin1Char('0')));
            t->cellAt(r, 1).firstCursorPosition().insertText(QStringLiteral("two\nlines"));
        }
    } else {
        for (int i = 0; i < count; ++i) {
            if (i)
                c.insertBlock();
            c.insertText(QStringLiteral("Row%1").arg(i, 3, 10, QLatin1Char('0')));
        }
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rows.pdf"));
    QVERIFY(WPPrint::exportPDF(doc, WPPageSetup(), QString(), QString(), QString(), path));
    const QStringList pages = pageTexts(path);
    QVERIFY(pages.size() >= 3);
    // A row's two lines stay together.
    for (const QString& page : pages)
        QCOMPARE(page.count(QStringLiteral("lines")), page.count(QStringLiteral("two")));
    const QString all = pages.join(QLatin1Char('\n'));
    for (int i = 0; i < count; ++i) {
        const QString row = QStringLiteral("Row%1").arg(i, 3, 10, QLatin1Char('0'));
        QVERIFY2(all.count(row) == 1, qPrintable(row + QStringLiteral(" appears %1 times").arg(all.count(row))));
    }
}

void PrintTest::pageCountIsThePdfsPageCount()
{
    WPDocument document;
    WPDocumentSample::fill(document, 40);
    const int counted = WPPrint::pageCount(*document.storage(), document.pageSetup());
    QVERIFY(counted >= 3);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.pdf"));
    QVERIFY(document.exportPDF(path));
    QCOMPARE(pageTexts(path).size(), counted);
    QVERIFY(pageTexts(path).constLast().contains(QStringLiteral("%1 / %1").arg(counted)));
    QTextDocument empty;
    QCOMPARE(WPPrint::pageCount(empty, WPPageSetup()), 1);
}

void PrintTest::printToFileGivesTheSamePages()
{
    QTemporaryDir dir;
    QTextDocument doc;
    fillPages(&doc, 2);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
    printer.setFullPage(true);
    QVERIFY(WPPrint::render(doc, paper(792, 612), QString(), QStringLiteral("{page} of {pages}"), QString(), &printer));
    const QStringList pages = pageTexts(printer.outputFileName());
    QCOMPARE(pages.size(), 2);
    QVERIFY(pages.at(1).contains(QStringLiteral("2 of 2")));
    QPdfDocument pdf;
    pdf.load(printer.outputFileName());
    QCOMPARE(pdf.pagePointSize(0).toSize(), QSize(792, 612));
}

void PrintTest::failedExportLeavesNothing_data()
{
    QTest::addColumn<bool>("lockedFolder");
    QTest::newRow("unwritable folder") << true;
    QTest::newRow("path is a folder") << false;
}

void PrintTest::failedExportLeavesNothing()
{
    QFETCH(bool, lockedFolder);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(folder));
    QString target = folder + QStringLiteral("/old.pdf");
    {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    std::optional<ReadOnlyFolder> lock;
    if (lockedFolder) {
        lock.emplace(folder);
        if (lock->writable())
            QSKIP("this system lets the test write into a read-only folder");
    } else {
        target = folder;
    }
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("x"));
    QVERIFY(!WPPrint::exportPDF(doc, WPPageSetup(), QString(), QString(), QString(), target));
    lock.reset();
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("old.pdf")});
    QFile old(folder + QStringLiteral("/old.pdf"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old"));
}

void PrintTest::proposedPdfName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pdf");
    QTest::newRow("docx") << QStringLiteral("Report.docx") << QStringLiteral("Report.pdf");
    QTest::newRow("untitled") << QStringLiteral("Untitled 2") << QStringLiteral("Untitled 2.pdf");
    QTest::newRow("dots inside") << QStringLiteral("v1.2 notes.rtf") << QStringLiteral("v1.2 notes.pdf");
    QTest::newRow("no name") << QString() << QStringLiteral("Document.pdf");
    QTest::newRow("hidden file") << QStringLiteral(".notes") << QStringLiteral(".notes.pdf");
}

void PrintTest::proposedPdfName()
{
    QFETCH(QString, name);
    QFETCH(QString, pdf);
    QCOMPARE(WPPrintPanels::proposedPdfName(name), pdf);
}

void PrintTest::exportFromTheMenu()
{
    QTemporaryDir dir;
    WPDocument document;
    document.setFilePath(dir.filePath(QStringLiteral("Report.docx")));
    document.storage()->setPlainText(QStringLiteral("Exported"));
    QString proposed;
    QString answer = dir.filePath(QStringLiteral("Report.pdf"));
    const auto previousChooser = WPOpenSavePanels::setPdfChooser([&](QWidget*, const QString& name) {
        proposed = name;
        return answer;
    });
    QList<AlertRequest> alerts;
    const AlertHandler previousAlert = setAlertHandler([&alerts](const AlertRequest& r) {
        alerts.append(r);
        return alertFirstButton;
    });

    QVERIFY(WPPrintPanels::exportPDF(&document, nullptr));
    QCOMPARE(proposed, QStringLiteral("Report.pdf"));
    QVERIFY(pageTexts(answer).value(0).contains(QStringLiteral("Exported")));
    QVERIFY(alerts.isEmpty());

    answer.clear(); // cancelled: nothing happens
    QVERIFY(!WPPrintPanels::exportPDF(&document, nullptr));
    QVERIFY(alerts.isEmpty());

    answer = dir.path(); // a folder: the export fails and says so
    QVERIFY(!WPPrintPanels::exportPDF(&document, nullptr));
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts.at(0).title, QStringLiteral("Couldn’t export the PDF."));
    QCOMPARE(alerts.at(0).informative, QString());
    QCOMPARE(alerts.at(0).buttons, QStringList{QStringLiteral("OK")});
    QCOMPARE(alerts.at(0).style, AlertStyle::Informational);

    setAlertHandler(previousAlert);
    WPOpenSavePanels::setPdfChooser(previousChooser);
}

void PrintTest::pageSetupPanelUpdatesTheDocument()
{
    WPDocument document;
    QSignalSpy changed(&document, &WPDocument::pageSetupChanged);
    std::optional<WPPageSetup> answer;
    const auto previous = WPPrintPanels::setPageSetupChooser(
        [&answer](QWidget*, const WPPageSetup&) { return answer; });

    QVERIFY(!WPPrintPanels::runPageLayout(&document, nullptr));
    QCOMPARE(changed.count(), 0);
    QVERIFY(!document.isEdited());

    WPPageSetup landscape = paper(792, 612);
    landscape.leftMargin = 36;
    answer = landscape;
    QVERIFY(WPPrintPanels::runPageLayout(&document, nullptr));
    QCOMPARE(document.pageSetup(), landscape);
    QCOMPARE(changed.count(), 1);
    QVERIFY(document.isEdited());

    // What the real panel hands back survives the trip through Qt's layout.
    QCOMPARE(WPPrint::pageSetup(WPPrint::pageLayout(landscape)).paperSize, landscape.paperSize);
    WPPrintPanels::setPageSetupChooser(previous);
}

void PrintTest::realPanelsAnswer_data()
{
    QTest::addColumn<bool>("print");
    QTest::addColumn<bool>("accept");
    QTest::newRow("page setup, cancelled") << false << false;
    QTest::newRow("page setup, confirmed unchanged") << false << true;
    QTest::newRow("print, cancelled") << true << false;
}

void PrintTest::realPanelsAnswer()
{
    // The real Qt panels, answered as soon as they are up.
    QFETCH(bool, print);
    QFETCH(bool, accept);
    WPDocument document;
    WPPageSetup setup = paper(792, 612);
    setup.topMargin = 50;
    setup.leftMargin = 60;
    setup.bottomMargin = 70;
    setup.rightMargin = 80;
    document.setPageSetup(setup);
    document.setEdited(false);
    QTimer::singleShot(0, this, [accept] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    });
    const bool done = print ? WPPrintPanels::print(&document, nullptr) : WPPrintPanels::runPageLayout(&document, nullptr);
    QCOMPARE(done, accept);
    QCOMPARE(document.pageSetup().paperSize, setup.paperSize);
    QVERIFY2(qAbs(document.pageSetup().leftMargin - 60) < 0.5 && qAbs(document.pageSetup().bottomMargin - 70) < 0.5,
             qPrintable(QString::number(document.pageSetup().leftMargin)));
    QVERIFY(!document.isEdited());
}

void PrintTest::textLayerHoldsEveryCharacterOnce_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("paragraphs");
    QTest::newRow("brackets and dashes") << QStringLiteral("Amount (EUR) - 1,250.00 [net] 12-3 a/b; 50% & \"more\".")
                                         << 0;
    QTest::newRow("three pages of letter") << QStringLiteral("Kind regards (and thanks) - Anna-Lena") << 40;
}

// What a PDF shows can be searched and copied: pdftotext finds every
// character of the text once, and no line is cut at a page's end.
void PrintTest::textLayerHoldsEveryCharacterOnce()
{
    QFETCH(QString, line);
    QFETCH(int, paragraphs);
    QTemporaryDir dir;
    WPDocument document;
    // With the faces the editor puts in for the document's fonts.
    WPWindowController window(&document);
    WPDocumentSample::fill(document, paragraphs);
    QTextCursor c(document.storage());
    c.movePosition(QTextCursor::End);
    c.insertBlock();
    c.insertText(line);
    document.setHeaderFooter(QString(), QString());
    const QString path = dir.filePath(QStringLiteral("letter.pdf"));
    QVERIFY(document.exportPDF(path));
    const std::optional<QStringList> pages = extractedPages(path);
    if (!pages)
        QSKIP("pdftotext is not installed");
    QVERIFY(!pages->isEmpty());
    const QString expected = inked(document.storage()->toPlainText());
    if (qEnvironmentVariableIsSet("BW_PDF_TEXT")) {
        QFile a(qEnvironmentVariable("BW_PDF_TEXT") + QStringLiteral(".got"));
        a.open(QIODevice::WriteOnly);
        a.write(pages->join(QStringLiteral("\n=====PAGE=====\n")).toUtf8());
        QFile b(qEnvironmentVariable("BW_PDF_TEXT") + QStringLiteral(".want"));
        b.open(QIODevice::WriteOnly);
        b.write(document.storage()->toPlainText().toUtf8());
        QFile::copy(path, qEnvironmentVariable("BW_PDF_TEXT") + QStringLiteral(".pdf"));
    }
    QCOMPARE(inked(pages->join(QString())), expected);
}

void PrintTest::printsThePagesAskedFor_data()
{
    QTest::addColumn<QString>("range");
    QTest::addColumn<QStringList>("footers");
    QTest::newRow("all") << QString() << QStringList{"1 / 4", "2 / 4", "3 / 4", "4 / 4"};
    QTest::newRow("one page") << QStringLiteral("3") << QStringList{"3 / 1"};
    QTest::newRow("a range") << QStringLiteral("2-3") << QStringList{"2 / 2", "3 / 2"};
    QTest::newRow("pages apart") << QStringLiteral("1,4") << QStringList{"1 / 2", "4 / 2"};
}

// The print panel's page range decides what prints; "{pages}" counts the
// pages of the job.
void PrintTest::printsThePagesAskedFor()
{
    QFETCH(QString, range);
    QFETCH(QStringList, footers);
    QTemporaryDir dir;
    WPDocument document;
    fillPages(document.storage(), 4);
    document.setHeaderFooter(QString(), QStringLiteral("{page} / {pages}"));
    const QString out = dir.filePath(QStringLiteral("printed.pdf"));
    int offered = 0;
    auto printer = std::make_unique<QPdfWriter>(out);
    const auto previous = WPPrintPanels::setPrintChooser([&](QWidget*, int pages) -> QPagedPaintDevice* {
        offered = pages;
        if (!range.isEmpty())
            printer->setPageRanges(QPageRanges::fromString(range));
        return printer.get();
    });
    const bool printed = WPPrintPanels::print(&document, nullptr);
    printer.reset();
    WPPrintPanels::setPrintChooser(previous);
    QVERIFY(printed);
    QCOMPARE(offered, 4);
    const QStringList pages = pageTexts(out);
    QCOMPARE(pages.size(), footers.size());
    for (int i = 0; i < pages.size(); ++i) {
        QVERIFY2(pages.at(i).contains(footers.at(i)), qPrintable(pages.at(i)));
        QVERIFY2(pages.at(i).contains(QStringLiteral("Page %1 text").arg(footers.at(i).section(QLatin1Char(' '), 0, 0))),
                 qPrintable(pages.at(i)));
    }
}

void PrintTest::panelsOpenInTheDocumentsFolder_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("inHome");
    QTest::newRow("saved document") << QStringLiteral("letters/Letter.docx") << false;
    QTest::newRow("untitled") << QString() << true;
    QTest::newRow("folder gone") << QStringLiteral("gone/Letter.docx") << true;
}

void PrintTest::panelsOpenInTheDocumentsFolder()
{
    QFETCH(QString, file);
    QFETCH(bool, inHome);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("letters"));
    const QString path = file.isEmpty() ? QString() : dir.filePath(file);
    const QString folder = WPOpenSavePanels::folderFor(path);
    QCOMPARE(folder, inHome ? QDir::homePath() : dir.filePath(QStringLiteral("letters")));
}

// The real print panel: pages can be chosen, and "Print to File" proposes
// a file in the document's folder.
void PrintTest::printPanelOffersTheDocumentsFolder()
{
    const QString folder = QDir::home().filePath(QStringLiteral("letters"));
    QVERIFY(QDir().mkpath(folder));
    WPDocument document;
    fillPages(document.storage(), 2);
    document.setFilePath(QDir(folder).filePath(QStringLiteral("Letter.docx")));
    QString proposed;
    bool rangeOffered = false;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        rangeOffered = dialog->testOption(QAbstractPrintDialog::PrintPageRange) && dialog->maxPage() == 2;
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename")))
            proposed = name->text();
        dialog->reject();
    });
    const QString before = QDir::currentPath();
    QVERIFY(!WPPrintPanels::print(&document, nullptr));
    QCOMPARE(QDir::currentPath(), before);
    QVERIFY(rangeOffered);
    QVERIFY2(proposed.startsWith(folder + QLatin1Char('/')), qPrintable(proposed));
}

QTEST_MAIN(PrintTest)
#include "tst_print.moc"
