#include "wordproc/views/PageDesk.h"

#include "ui/ChromeShape.h"
#include "ui/Fonts.h"
#include "wordproc/WPPages.h"
#include "wordproc/WPText.h"
#include "wordproc/views/PageTextView.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QTextCursor>

#include <algorithm>
#include <cmath>

PageDesk::PageDesk(PageTextView* view, QWidget* parent) : QWidget(parent), m_view(view)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Grows and shrinks with the text; the view redraws the sheet's foot.
    setAttribute(Qt::WA_StaticContents);
    setCursor(Qt::IBeamCursor);
}

QColor PageDesk::deskColor()
{
    return QColor::fromRgbF(0.8f, 0.8f, 0.79f);
}

QList<qreal> PageDesk::markPositions() const
{
    // Where print begins each page after the first: in the text, and below
    // its end a page height apart.
    const WPPageSetup setup = m_view->pageSetup();
    const qreal k = WPText::pixelsPerPoint();
    const QRectF sheet = m_view->sheetRect();
    const qreal page = WPPages::pageHeight(setup);
    const qreal bottom = std::max<qreal>(0, setup.bottomMargin) * k;
    const QList<qreal> starts = m_view->pageStarts();
    const qreal top = m_view->y();
    QList<qreal> marks;
    // A mark only where a next page begins on the sheet: a sheet of exactly
    // one page shows none.
    auto fits = [&](qreal y) { return y + bottom < sheet.bottom() - 4 && marks.size() < 100000; };
    for (qsizetype i = 1; i < starts.size() && fits(top + starts.at(i)); ++i)
        marks.append(top + starts.at(i));
    qreal y = top + (starts.isEmpty() ? m_view->document()->documentMargin() : starts.constLast()) + page;
    while (fits(y)) {
        marks.append(y);
        y += page;
    }
    return marks;
}

void PageDesk::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect dirty = event->rect();
    p.fillRect(dirty, deskColor());

    const QRectF sheet = m_view->sheetRect();
    // A soft shadow around the sheet, a little lower than it: only the part
    // that is visible, however long the document.
    const QRectF band = sheet.intersected(QRectF(dirty).adjusted(0, -16, 0, 16));
    constexpr qreal blur = 6;
    constexpr qreal offset = 2;
    const QColor dark(0, 0, 0, int(0.25 * 255 * 0.6));
    const QColor clear(0, 0, 0, 0);
    if (!band.isEmpty()) {
        auto edge = [&](const QRectF& r, QPointF from, QPointF to) {
            QLinearGradient g(from, to);
            g.setColorAt(0, dark);
            g.setColorAt(1, clear);
            // A side edge runs the height of the view and is alike on every
            // row: filled in bands, away from the painter's thread pool.
            if (from.y() != to.y()) {
                p.fillRect(r, g);
                return;
            }
            ChromeShape::fillInBands(p, r, g);
        };
        const qreal y0 = band.top() + offset;
        const qreal y1 = band.bottom() + offset;
        edge(QRectF(sheet.left() - blur, y0, blur, y1 - y0), {sheet.left(), 0}, {sheet.left() - blur, 0});
        edge(QRectF(sheet.right(), y0, blur, y1 - y0), {sheet.right(), 0}, {sheet.right() + blur, 0});
        if (band.top() <= sheet.top())
            edge(QRectF(sheet.left(), sheet.top() + offset - blur, sheet.width(), blur),
                 {0, sheet.top() + offset}, {0, sheet.top() + offset - blur});
        if (band.bottom() >= sheet.bottom())
            edge(QRectF(sheet.left(), sheet.bottom(), sheet.width(), blur + offset),
                 {0, sheet.bottom()}, {0, sheet.bottom() + blur + offset});
        p.fillRect(band, Qt::white);
    }

    QPen dash(QColor::fromRgbF(0.75f, 0.75f, 0.75f));
    dash.setDashPattern({4, 4});
    dash.setDashOffset(0);
    dash.setWidthF(1);
    const QFont labelFont = Fonts::system(9);
    p.setFont(labelFont);
    int n = 2;
    for (qreal y : markPositions()) {
        // Just above the page's first line, the label below it at the right.
        const qreal lineY = std::floor(y) - 0.5;
        if (lineY > dirty.top() - 24 && lineY < dirty.bottom() + 16) {
            p.setPen(dash);
            p.drawLine(QPointF(sheet.left() + 8, lineY), QPointF(sheet.right() - 8, lineY));
            p.setPen(QColor::fromRgbF(0.5f, 0.5f, 0.5f));
            p.drawText(QPointF(sheet.right() - 52, lineY + 2 + p.fontMetrics().ascent()),
                       QStringLiteral("Page %1").arg(n));
        }
        ++n;
    }
}

void PageDesk::mousePressEvent(QMouseEvent* event)
{
    // A click on the sheet's margin or the desk puts the caret on the
    // nearest line.
    const QPoint inView = m_view->mapFrom(this, event->position().toPoint());
    const QPoint clamped(std::clamp(inView.x(), 0, std::max(0, m_view->width() - 1)),
                         std::clamp(inView.y(), 0, std::max(0, m_view->height() - 1)));
    QTextCursor c = m_view->cursorForPosition(clamped);
    m_view->setTextCursor(c);
    m_view->setFocus(Qt::MouseFocusReason);
}
