#include "notes/views/StickySymbolButton.h"

#include "ui/Symbols.h"

#include <QPainter>
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
    // Where the outlined form of a symbol draws like its filled form, the
    // glyph's outline is stroked so the two states stay apart.
    const QString filled = m_symbol + QStringLiteral(".fill");
    const std::optional<Symbols::Glyph> own = Symbols::glyph(m_symbol);
    const std::optional<Symbols::Glyph> full = Symbols::glyph(filled);
    if (own && full && own->code == full->code) {
        p.setPen(QPen(tint, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(Symbols::path(m_symbol, m_size, QRectF(rect())));
        return;
    }
    Symbols::paint(p, m_symbol, m_size, QRectF(rect()), tint);
}
