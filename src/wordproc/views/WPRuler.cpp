#include "wordproc/views/WPRuler.h"

#include "ui/Chrome.h"
#include "ui/Fonts.h"
#include "wordproc/WPText.h"
#include "wordproc/views/PageDesk.h"
#include "wordproc/views/PageTextView.h"

#include <QEvent>
#include <QMouseEvent>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>

#include <cmath>

WPRuler::WPRuler(PageTextView* view, QWidget* parent)
    : QWidget(parent)
    , m_view(view)
    , m_desk(view->desk())
    , m_metric(QLocale().measurementSystem() == QLocale::MetricSystem)
{
    setObjectName(QStringLiteral("wpRuler"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    view->desk()->installEventFilter(this);
    connect(view->scrollArea()->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            qOverload<>(&QWidget::update));
    connect(view, &QTextEdit::cursorPositionChanged, this, qOverload<>(&QWidget::update));
    connect(view, &QTextEdit::textChanged, this, qOverload<>(&QWidget::update));
}

QSize WPRuler::sizeHint() const
{
    return QSize(400, 22);
}

bool WPRuler::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_desk && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        update();
    return QWidget::eventFilter(watched, event);
}

qreal WPRuler::xFor(qreal points) const
{
    if (!m_view)
        return 0;
    const QPoint deskOrigin = m_view->desk()->mapTo(window(), QPoint(0, 0));
    const QPoint mine = mapTo(window(), QPoint(0, 0));
    return deskOrigin.x() - mine.x() + m_view->textOrigin().x() + points * WPText::pixelsPerPoint();
}

void WPRuler::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Chrome::satin(rect()));
    if (!m_view)
        return;
    p.setRenderHint(QPainter::Antialiasing);
    const qreal k = WPText::pixelsPerPoint();
    const WPPageSetup setup = m_view->pageSetup();
    const qreal textWidth = std::max<qreal>(0, setup.textWidth());
    const qreal left = xFor(0);
    const qreal right = xFor(textWidth);
    const qreal paperLeft = xFor(-setup.leftMargin);
    const qreal paperRight = xFor(textWidth + setup.rightMargin);

    // Margins in grey, the text width in white.
    const QRectF band(paperLeft, 4, paperRight - paperLeft, height() - 8);
    p.fillRect(band, QColor(0xD8, 0xD8, 0xD4));
    p.fillRect(QRectF(left, band.top(), right - left, band.height()), Qt::white);
    p.setPen(QColor(0xA0, 0xA0, 0x9C));
    p.drawRect(band);

    // Ticks from the left margin both ways: numbers every inch or centimetre.
    const qreal unit = m_metric ? 72.0 / 2.54 : 72.0;
    const int parts = m_metric ? 2 : 8;
    const qreal step = unit / parts;
    p.setFont(Fonts::system(8));
    p.setPen(QColor(0x55, 0x55, 0x55));
    const int first = int(std::floor(-setup.leftMargin / step));
    const int last = int(std::ceil((textWidth + setup.rightMargin) / step));
    for (int i = std::max(first, -2000); i <= std::min(last, 2000); ++i) {
        const qreal x = std::round(xFor(i * step)) + 0.5;
        if (x < 0 || x > width())
            continue;
        const int kind = i % parts == 0 ? 0 : (parts == 8 && i % 4 == 0) ? 1 : 2;
        const qreal tick = kind == 0 ? 0 : kind == 1 ? 5 : 3;
        if (kind == 0) {
            if (i != 0)
                p.drawText(QRectF(x - 12, band.top(), 24, band.height()), Qt::AlignCenter,
                           QString::number(std::abs(i / parts)));
        } else {
            p.drawLine(QPointF(x, band.bottom() - tick), QPointF(x, band.bottom()));
        }
    }

    // The paragraph at the caret: first-line and head indents, tab stops.
    const QTextBlock block = m_view->textCursor().block();
    const QTextBlockFormat f = block.blockFormat();
    qreal head = f.leftMargin() / k;
    qreal firstLine = (f.leftMargin() + f.textIndent()) / k;
    if (m_dragging) {
        head = m_dragHead;
        firstLine = m_dragFirst;
    }
    const QColor marker(0x3A, 0x6E, 0xA5);
    p.setPen(Qt::NoPen);
    p.setBrush(marker);
    const qreal xh = xFor(head);
    QPainterPath down;
    down.moveTo(xFor(firstLine) - 4, band.top());
    down.lineTo(xFor(firstLine) + 4, band.top());
    down.lineTo(xFor(firstLine), band.top() + 5);
    down.closeSubpath();
    QPainterPath up;
    up.moveTo(xh - 4, band.bottom());
    up.lineTo(xh + 4, band.bottom());
    up.lineTo(xh, band.bottom() - 5);
    up.closeSubpath();
    p.drawPath(down);
    p.drawPath(up);
    p.setPen(QPen(marker, 1.5));
    for (const QTextOption::Tab& tab : f.tabPositions()) {
        const qreal x = xFor(tab.position / k);
        p.drawLine(QPointF(x, band.bottom() - 6), QPointF(x, band.bottom() - 1));
        p.drawLine(QPointF(x, band.bottom() - 1), QPointF(x + 4, band.bottom() - 1));
    }
}

void WPRuler::mousePressEvent(QMouseEvent* event)
{
    if (!m_view || event->button() != Qt::LeftButton)
        return;
    const qreal k = WPText::pixelsPerPoint();
    const QTextBlockFormat f = m_view->textCursor().block().blockFormat();
    m_dragHead = f.leftMargin() / k;
    m_dragFirst = (f.leftMargin() + f.textIndent()) / k;
    const QPointF at = event->position();
    const bool top = at.y() < height() / 2.0;
    const qreal x = top ? xFor(m_dragFirst) : xFor(m_dragHead);
    m_dragging = std::abs(at.x() - x) <= 6 ? (top ? 1 : 2) : 0;
}

void WPRuler::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging || !m_view)
        return;
    const qreal k = WPText::pixelsPerPoint();
    const qreal width = std::max<qreal>(0, m_view->pageSetup().textWidth());
    // Snaps to eighths of an inch (or millimetres), inside the text width.
    const qreal snap = m_metric ? 72.0 / 25.4 : 9.0;
    qreal points = (event->position().x() - xFor(0)) / k;
    points = std::clamp(std::round(points / snap) * snap, 0.0, std::max<qreal>(0, width - 36));
    if (m_dragging == 1)
        m_dragFirst = points;
    else
        m_dragHead = points;
    update();
}

void WPRuler::mouseReleaseEvent(QMouseEvent*)
{
    if (!m_dragging)
        return;
    m_dragging = 0;
    if (m_setIndents)
        m_setIndents(m_dragHead, m_dragFirst);
    update();
}
