#include "wordproc/print/WPPrint.h"

#include "core/SafeFile.h"
#include "wordproc/WPPages.h"
#include "wordproc/WPPictureLines.h"
#include "wordproc/WPText.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextLayout>
#include <memory>
#include <unicode/udat.h>

namespace WPPrint {

namespace {

// The clone of a document laid out as the page view lays it out, and where
// its pages begin. The text is laid out as one long column, in layout
// units; the pages are slices of it, cut only between lines and between
// table rows, and drawn scaled to the device.
struct Pages {
    std::unique_ptr<QTextDocument> doc;
    QSizeF body;          // the text area of one page, layout units
    QList<qreal> starts;  // the top of each page in the column
    qreal end = 0;        // the bottom of the column
    int count() const { return int(starts.size()); }
    QRectF slice(int i) const
    {
        const qreal top = starts.at(i);
        const qreal bottom = i + 1 < starts.size() ? starts.at(i + 1) : qMax(end, top);
        return QRectF(0, top, body.width(), qMin(bottom - top, body.height()));
    }
};

Pages layOut(const QTextDocument& text, const WPPageSetup& setup)
{
    Pages p;
    p.doc.reset(text.clone());
    WPPages::prepare(*p.doc);
    p.doc->setDocumentMargin(0);
    p.body = QSizeF(WPPages::textWidth(setup), WPPages::pageHeight(setup));
    p.doc->setTextWidth(p.body.width());
    WPPictureLines::settleRange(*p.doc);
    p.end = p.doc->documentLayout()->documentSize().height();
    for (const WPPages::Page& page : WPPages::pages(*p.doc, p.body.height()))
        p.starts.append(page.top);
    return p;
}

QFont headerFooterFont()
{
    static const QString family = [] {
        const QString wanted = QStringLiteral("Helvetica Neue");
        if (QFontDatabase::hasFamily(wanted))
            return wanted;
        return QGuiApplication::font().family();
    }();
    QFont f(family);
    f.setPointSizeF(9);
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

// The platform's dark grey (white 1/3).
QColor headerFooterColor()
{
    return QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3);
}

// The paragraph of the main text that a page's top cuts through (between
// two of its lines), or an invalid block.
QTextBlock paragraphAcross(const QTextDocument& doc, qreal top)
{
    const QAbstractTextDocumentLayout* layout = doc.documentLayout();
    const int position = layout->hitTest(QPointF(1, top), Qt::FuzzyHit);
    if (position < 0)
        return {};
    const QTextBlock block = doc.findBlock(position);
    if (!block.isValid() || QTextCursor(block).currentFrame() != doc.rootFrame() || !block.layout()
        || block.layout()->lineCount() < 2)
        return {};
    const QRectF rect = layout->blockBoundingRect(block);
    return rect.top() < top - 0.5 && rect.bottom() > top + 0.5 ? block : QTextBlock();
}

// Draws one page's slice of the column. The layout would also draw the
// line just above the slice of a paragraph that runs on from the page
// before (hidden by the clip, but still in a PDF's text): such a paragraph
// is drawn here line by line, only with the lines that belong to the page.
void drawSlice(QPainter& painter, const QTextDocument& doc, const QRectF& slice,
               QAbstractTextDocumentLayout::PaintContext context)
{
    QRectF rest = slice.adjusted(0, 0.5, 0, -0.5);
    const QTextBlock across = paragraphAcross(doc, slice.top());
    if (across.isValid()) {
        const QTextLayout* lines = across.layout();
        const QPointF origin = lines->position();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            const qreal top = origin.y() + line.y();
            if (top >= slice.top() - 0.5 && top + line.height() <= slice.bottom() + 0.5)
                line.draw(&painter, origin);
        }
        rest.setTop(doc.documentLayout()->blockBoundingRect(across).bottom() + 0.01);
    }
    if (rest.height() <= 0)
        return;
    context.clip = rest;
    doc.documentLayout()->draw(&painter, context);
}

void drawLine(QPainter& painter, const QString& text, const QRectF& area)
{
    if (text.isEmpty())
        return;
    const QFontMetricsF metrics(painter.font(), painter.device());
    const QString shown = metrics.elidedText(text, Qt::ElideRight, area.width());
    painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, shown);
}

} // namespace

QString mediumDate(const QDate& date, const QLocale& locale)
{
    if (!date.isValid())
        return QString();
    const QByteArray name = locale.name().toLatin1();
    UErrorCode status = U_ZERO_ERROR;
    static const UChar utc[] = {u'U', u'T', u'C', 0};
    UDateFormat* format = udat_open(UDAT_NONE, UDAT_MEDIUM, name.constData(), utc, -1, nullptr, -1, &status);
    if (U_FAILURE(status) || !format)
        return locale.toString(date, QLocale::ShortFormat);
    const UDate when = UDate(QDateTime(date, QTime(12, 0), Qt::UTC).toMSecsSinceEpoch());
    UChar buffer[128];
    const int32_t length = udat_format(format, when, buffer, 128, nullptr, &status);
    udat_close(format);
    if (U_FAILURE(status) || length <= 0 || length > 128)
        return locale.toString(date, QLocale::ShortFormat);
    return QString(reinterpret_cast<const QChar*>(buffer), length);
}

QString expand(const QString& templ, int page, int pages, const QDate& date, const QString& title)
{
    // Each placeholder is looked for in the template as written, so a
    // number, date or title put in never turns into another placeholder.
    struct Slot {
        QString key;
        QString value;
    };
    const Slot placeholders[] = {
        {QStringLiteral("{page}"), QString::number(page)},
        {QStringLiteral("{pages}"), QString::number(pages)},
        {QStringLiteral("{date}"), templ.contains(QLatin1String("{date}")) ? mediumDate(date) : QString()},
        {QStringLiteral("{title}"), title},
    };
    QString out;
    out.reserve(templ.size());
    qsizetype i = 0;
    while (i < templ.size()) {
        bool matched = false;
        if (templ.at(i) == QLatin1Char('{')) {
            for (const Slot& s : placeholders) {
                if (QStringView(templ).mid(i).startsWith(s.key)) {
                    out += s.value;
                    i += s.key.size();
                    matched = true;
                    break;
                }
            }
        }
        if (!matched)
            out += templ.at(i++);
    }
    return out;
}

QPageLayout pageLayout(const WPPageSetup& setup)
{
    const QSizeF paper = setup.paperSize;
    const bool landscape = paper.width() > paper.height();
    const QSizeF portrait = landscape ? paper.transposed() : paper;
    const QPageSize size(portrait, QPageSize::Point, QString(), QPageSize::ExactMatch);
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                       QPageLayout::Point);
}

WPPageSetup pageSetup(const QPageLayout& layout)
{
    WPPageSetup s;
    s.paperSize = layout.fullRect(QPageLayout::Point).size();
    const QMarginsF m = layout.margins(QPageLayout::Point);
    s.topMargin = m.top();
    s.leftMargin = m.left();
    s.bottomMargin = m.bottom();
    s.rightMargin = m.right();
    return s;
}

int pageCount(const QTextDocument& text, const WPPageSetup& setup)
{
    return layOut(text, setup).count();
}

bool render(const QTextDocument& text, const WPPageSetup& setup, const QString& header, const QString& footer,
            const QString& title, QPagedPaintDevice* device, const QPageRanges& ranges)
{
    if (!device)
        return false;
    device->setPageLayout(pageLayout(setup));
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const Pages pages = layOut(text, setup);
    const qreal sx = device->logicalDpiX() / 72.0;
    const qreal sy = device->logicalDpiY() / 72.0;
    // Layout units to device pixels.
    const qreal k = WPText::pixelsPerPoint();
    // A printer may keep margins of its own: draw in paper coordinates.
    const QPointF origin = device->pageLayout().paintRect(QPageLayout::Point).topLeft();
    const QDate today = QDate::currentDate();
    const QRectF headerArea(setup.leftMargin * sx, 0, setup.textWidth() * sx, setup.topMargin * sy);
    const QRectF footerArea(setup.leftMargin * sx, (setup.paperSize.height() - setup.bottomMargin) * sy,
                            setup.textWidth() * sx, setup.bottomMargin * sy);

    QList<int> job;
    for (int i = 0; i < pages.count(); ++i) {
        if (ranges.isEmpty() || ranges.contains(i + 1))
            job.append(i);
    }
    if (job.isEmpty())
        return false;

    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    for (const int i : job) {
        if (i != job.constFirst() && !device->newPage())
            return false;
        painter.save();
        painter.translate(-origin.x() * sx, -origin.y() * sy);

        painter.save();
        const QRectF slice = pages.slice(i);
        painter.translate(setup.leftMargin * sx, setup.topMargin * sy);
        painter.scale(sx / k, sy / k);
        painter.translate(0, -slice.top());
        painter.setClipRect(slice);
        painter.setPen(Qt::black);
        // Only the lines of this page, so that every character is in the
        // PDF's text once: a line that begins where the slice ends belongs
        // to the next page only.
        drawSlice(painter, *pages.doc, slice, context);
        painter.restore();

        painter.setFont(headerFooterFont());
        painter.setPen(headerFooterColor());
        if (!header.isEmpty())
            drawLine(painter, expand(header, i + 1, int(job.size()), today, title), headerArea);
        if (!footer.isEmpty())
            drawLine(painter, expand(footer, i + 1, int(job.size()), today, title), footerArea);
        painter.restore();
    }
    return painter.end();
}

bool exportPDF(const QTextDocument& text, const WPPageSetup& setup, const QString& header, const QString& footer,
               const QString& title, const QString& path)
{
    // A page that cannot be drawn leaves the path as it was.
    return SafeFile::write(path, [&](QIODevice& file) {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Brindleworks"));
        return render(text, setup, header, footer, title, &writer);
    });
}

} // namespace WPPrint
