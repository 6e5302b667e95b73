#include "ui/ChromeButton.h"

#include "ui/Chrome.h"
#include "ui/ChromeShape.h"
#include "ui/Fonts.h"
#include "ui/Symbols.h"

#include <QFontMetricsF>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionButton>

namespace {

// Room around the capsule for its shadow.
const QMarginsF kShadowRoom(2, 1, 2, 4);
const qreal kSymbolGap = 5;
const qreal kIndicatorWidth = 11;

} // namespace

ChromeButton::ChromeButton(QWidget* parent) : ChromeButton(QString(), false, false, parent) {}

ChromeButton::ChromeButton(const QString& text, QWidget* parent) : ChromeButton(text, false, false, parent) {}

ChromeButton::ChromeButton(const QString& text, bool prominent, bool compact, QWidget* parent)
    : QPushButton(text, parent), m_prominent(prominent), m_compact(compact)
{
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFont(labelFont());
}

void ChromeButton::setProminent(bool prominent)
{
    if (m_prominent == prominent)
        return;
    m_prominent = prominent;
    update();
}

void ChromeButton::setCompact(bool compact)
{
    if (m_compact == compact)
        return;
    m_compact = compact;
    setFont(labelFont());
    updateGeometry();
    update();
}

void ChromeButton::setSymbol(const QString& name, qreal size)
{
    m_symbol = name;
    m_symbolSize = size;
    updateGeometry();
    update();
}

void ChromeButton::setLabelFrame(const QSize& size)
{
    m_labelFrame = size;
    updateGeometry();
    update();
}

void ChromeButton::setMenuIndicatorVisible(bool visible)
{
    m_menuIndicator = visible;
    updateGeometry();
    update();
}

QColor ChromeButton::labelColor() const
{
    return m_prominent ? Chrome::cherry() : Chrome::ink();
}

QFont ChromeButton::labelFont() const
{
    return Fonts::system(m_compact ? 12 : 13, QFont::DemiBold, Fonts::Design::Rounded);
}

namespace {

struct LabelMetrics {
    qreal symbolSize = 0;
    qreal symbolWidth = 0;
    qreal textWidth = 0;
    qreal height = 0;
};

} // namespace

static LabelMetrics measure(const ChromeButton& b, const TextLine& line, const QString& symbol, qreal symbolSize)
{
    LabelMetrics m;
    m.textWidth = line.text().isEmpty() ? 0 : line.advance();
    m.height = QFontMetricsF(line.font()).height();
    if (!symbol.isEmpty() && Symbols::isKnown(symbol)) {
        m.symbolSize = Symbols::emFor(symbolSize > 0 ? symbolSize : (b.isCompact() ? 12 : 13));
        m.symbolWidth = m.symbolSize;
        m.height = qMax(m.height, m.symbolSize);
    }
    return m;
}

const TextLine& ChromeButton::label() const
{
    // Layouts ask for the size many times over while a window is first
    // laid out: the text is shaped once, when it or its font changes.
    m_line.setText(text(), labelFont(), layoutDirection());
    return m_line;
}

QSize ChromeButton::sizeHint() const
{
    const LabelMetrics m = measure(*this, label(), m_symbol, m_symbolSize);
    qreal w = m.textWidth + m.symbolWidth + ((m.textWidth > 0 && m.symbolWidth > 0) ? kSymbolGap : 0);
    qreal h = m.height;
    if (m_labelFrame.isValid()) {
        w = m_labelFrame.width();
        h = m_labelFrame.height();
    }
    if (menu() && m_menuIndicator)
        w += kIndicatorWidth;
    const qreal padH = m_compact ? 9 : 14;
    const qreal padV = m_compact ? 3 : 6;
    w += 2 * padH + kShadowRoom.left() + kShadowRoom.right();
    h += 2 * padV + kShadowRoom.top() + kShadowRoom.bottom();
    return QSize(int(std::ceil(w)), int(std::ceil(h)));
}

QSize ChromeButton::minimumSizeHint() const
{
    return sizeHint();
}

bool ChromeButton::hitButton(const QPoint& pos) const
{
    const QRectF capsule = QRectF(rect()).marginsRemoved(kShadowRoom);
    return ChromeShape::Outline::capsule().path(capsule).contains(QPointF(pos) + QPointF(0.5, 0.5));
}

void ChromeButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (!isEnabled())
        p.setOpacity(0.5);
    const bool down = isDown();
    const QRectF capsule = QRectF(rect()).marginsRemoved(kShadowRoom);
    ChromeShape::paint(p, capsule, ChromeShape::Outline::capsule(), down, true);

    if (hasFocus()) {
        p.save();
        QPen ring(QColor(0, 99, 225, 150), 2);
        p.setPen(ring);
        p.setBrush(Qt::NoBrush);
        p.drawPath(ChromeShape::Outline::capsule().insetPath(capsule, 1));
        p.restore();
    }

    const qreal padH = m_compact ? 9 : 14;
    QRectF content = capsule.adjusted(padH, 0, -padH, 0);
    if (menu() && m_menuIndicator) {
        const QRectF ind(content.right() - 7, content.center().y() - 2, 7, 4);
        content.setRight(content.right() - kIndicatorWidth);
        QPainterPath chevron;
        chevron.moveTo(ind.topLeft());
        chevron.lineTo(ind.center().x(), ind.bottom());
        chevron.lineTo(ind.topRight());
        p.save();
        p.setPen(QPen(QColor(255, 255, 255, 230), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(chevron.translated(0, 1));
        p.setPen(QPen(labelColor(), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(chevron);
        p.restore();
    }

    const TextLine& line = label();
    const LabelMetrics m = measure(*this, line, m_symbol, m_symbolSize);
    const qreal gap = (m.textWidth > 0 && m.symbolWidth > 0) ? kSymbolGap : 0;
    const qreal total = m.symbolWidth + gap + m.textWidth;
    qreal x = content.center().x() - qMin(total, content.width()) / 2.0;
    const QColor engrave(255, 255, 255, int(0.9 * 255));
    if (m.symbolWidth > 0) {
        const QRectF sr(x, content.top(), m.symbolWidth, content.height());
        Symbols::paint(p, m_symbol, m.symbolSize, sr.translated(0, 1), engrave);
        Symbols::paint(p, m_symbol, m.symbolSize, sr, labelColor());
        x += m.symbolWidth + gap;
    }
    if (m.textWidth > 0) {
        const QRectF tr(x, content.top(), content.right() - x, content.height());
        const Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
        // A label that fits is drawn from its kept line; one cut short, or
        // read right to left, as drawText draws it.
        if (layoutDirection() == Qt::LeftToRight && m.textWidth <= tr.width() + 0.5) {
            p.setPen(engrave);
            line.draw(p, tr.translated(0, 1), align);
            p.setPen(labelColor());
            line.draw(p, tr, align);
            return;
        }
        const QString shown = QFontMetricsF(labelFont()).elidedText(text(), Qt::ElideRight, tr.width() + 0.5);
        p.setFont(labelFont());
        p.setPen(engrave);
        p.drawText(tr.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        p.setPen(labelColor());
        p.drawText(tr, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    }
}
