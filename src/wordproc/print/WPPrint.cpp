#include "wordproc/print/WPPrint.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextFrame>
#include <memory>
#include <unicode/udat.h>

namespace WPPrint {

namespace {

// The clone of a document laid out page by page on a paint device.
struct Pages {
    std::unique_ptr<QTextDocument> doc;
    QSizeF body; // the text area of one page, device pixels
    int count = 1;
};

Pages layOut(const QTextDocument& text, const WPPageSetup& setup, QPaintDevice* device)
{
    Pages p;
    p.doc.reset(text.clone());
    p.doc->documentLayout()->setPaintDevice(device);
    p.doc->setDocumentMargin(0);
    const qreal sx = device->logicalDpiX() / 72.0;
    const qreal sy = device->logicalDpiY() / 72.0;
    p.body = QSizeF(setup.textWidth() * sx, setup.textHeight() * sy);
    // With a page size the layout breaks pages itself: a line or a table
    // row that would cross the end of a page moves to the next one.
    p.doc->setPageSize(p.body);
    p.count = qMax(1, p.doc->pageCount());
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
    return f;
}

// The platform's dark grey (white 1/3).
QColor headerFooterColor()
{
    return QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3);
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
    // Laid out on the same kind of device as an export, so the count is the
    // number of pages the PDF gets.
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    QPdfWriter writer(&sink);
    writer.setPageLayout(pageLayout(setup));
    return layOut(text, setup, &writer).count;
}

bool render(const QTextDocument& text, const WPPageSetup& setup, const QString& header, const QString& footer,
            const QString& title, QPagedPaintDevice* device)
{
    if (!device)
        return false;
    device->setPageLayout(pageLayout(setup));
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const Pages pages = layOut(text, setup, device);
    const qreal sx = device->logicalDpiX() / 72.0;
    const qreal sy = device->logicalDpiY() / 72.0;
    // A printer may keep margins of its own: draw in paper coordinates.
    const QPointF origin = device->pageLayout().paintRect(QPageLayout::Point).topLeft();
    const QDate today = QDate::currentDate();
    const QRectF headerArea(setup.leftMargin * sx, 0, setup.textWidth() * sx, setup.topMargin * sy);
    const QRectF footerArea(setup.leftMargin * sx, (setup.paperSize.height() - setup.bottomMargin) * sy,
                            setup.textWidth() * sx, setup.bottomMargin * sy);

    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    for (int i = 0; i < pages.count; ++i) {
        if (i > 0 && !device->newPage())
            return false;
        painter.save();
        painter.translate(-origin.x() * sx, -origin.y() * sy);

        painter.save();
        const QRectF page(0, i * pages.body.height(), pages.body.width(), pages.body.height());
        painter.translate(setup.leftMargin * sx, setup.topMargin * sy - page.top());
        painter.setClipRect(page);
        context.clip = page;
        pages.doc->documentLayout()->draw(&painter, context);
        painter.restore();

        painter.setFont(headerFooterFont());
        painter.setPen(headerFooterColor());
        if (!header.isEmpty())
            drawLine(painter, expand(header, i + 1, pages.count, today, title), headerArea);
        if (!footer.isEmpty())
            drawLine(painter, expand(footer, i + 1, pages.count, today, title), footerArea);
        painter.restore();
    }
    return painter.end();
}

bool exportPDF(const QTextDocument& text, const WPPageSetup& setup, const QString& header, const QString& footer,
               const QString& title, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    bool drawn = false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Brindleworks"));
        drawn = render(text, setup, header, footer, title, &writer);
    }
    // Without commit() the temporary file goes and the path stays as it was.
    if (!drawn || file.error() != QFileDevice::NoError)
        return false;
    return file.commit();
}

} // namespace WPPrint
