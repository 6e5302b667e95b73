#include "notes/views/StickySymbolButton.h"

#include "ui/Symbols.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <cmath>

StickySymbolButton::StickySymbolButton(const QString& symbol, qreal pointSize, const QColor& tint, QWidget* parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_size(Symbols::emFor(pointSize))
    , m_tint(tint)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setFixedSize(sizeHint());
}

void StickySymbolButton::setSymbol(const QString& symbol)
{
    if (m_symbol == symbol)
        return;
    m_symbol = symbol;
    update();
}

QSize StickySymbolButton::sizeHint() const
{
    const int side = int(std::ceil(m_size)) + 4;
    return QSize(side, side);
}

void StickySymbolButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor tint = m_tint;
    if (isDown())
        tint.setAlphaF(qMin(1.0f, tint.alphaF() + 0.3f));
    // Where the outlined form of a symbol draws like its filled form, it is
    // drawn hollow: a thin band just inside the glyph's edge, the note
    // showing through the middle. (A pen along the edge would blur into a
    // solid shape at small sizes.) Narrow parts stay solid lines.
    const QString filled = m_symbol + QStringLiteral(".fill");
    const std::optional<Symbols::Glyph> own = Symbols::glyph(m_symbol);
    const std::optional<Symbols::Glyph> full = Symbols::glyph(filled);
    if (own && full && own->code == full->code) {
        const QPainterPath shape = Symbols::path(m_symbol, m_size, QRectF(rect()));
        QPainterPathStroker edge;
        edge.setWidth(2 * qMax(1.0, m_size / 14));
        edge.setJoinStyle(Qt::MiterJoin);
        p.fillPath(shape.intersected(edge.createStroke(shape)), tint);
        return;
    }
    Symbols::paint(p, m_symbol, m_size, QRectF(rect()), tint);
}
