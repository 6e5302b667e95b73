#include "ui/LineLabel.h"

#include <QMovie>
#include <QPainter>
#include <QPicture>
#include <QStyle>
#include <QStyleOption>

#include <cmath>

LineLabel::LineLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
}

LineLabel::~LineLabel() = default;

bool LineLabel::plainText() const
{
    return textFormat() == Qt::PlainText && !wordWrap() && !buddy() && frameWidth() == 0 && pixmap().isNull()
           && picture().isNull() && !movie();
}

bool LineLabel::isOneLine() const
{
    if (!plainText()
        || (textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard | Qt::TextEditable)))
        return false;
    const QString t = text();
    return !t.isEmpty() && !t.front().isSpace() && !t.back().isSpace() && !t.contains(QLatin1Char('\n'))
           && !t.contains(QLatin1Char('\t')) && !t.contains(QChar::LineSeparator) && !t.contains(QChar(0x9c));
}

const TextLine& LineLabel::line() const
{
    const QString t = text();
    m_line.setText(t, font(), t.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    return m_line;
}

QSize LineLabel::oneLineSize() const
{
    ensurePolished();
    // As QLabel sizes a label of one unwrapped line (its three measures then
    // agree): the line's bounds, the indent on aligned sides, the margins.
    const TextLine& l = line();
    const Qt::Alignment align = QStyle::visualAlignment(l.direction(), alignment());
    int hextra = 2 * margin();
    int vextra = hextra;
    if (indent() > 0) {
        if (align & (Qt::AlignLeft | Qt::AlignRight))
            hextra += indent();
        if (align & (Qt::AlignTop | Qt::AlignBottom))
            vextra += indent();
    }
    const QMargins cm = contentsMargins();
    const QSize text(int(std::ceil(l.naturalWidth())), int(std::ceil(l.height())));
    return QSize(text.width() + hextra + cm.left() + cm.right(), text.height() + vextra + cm.top() + cm.bottom())
        .expandedTo(minimumSize());
}

QSize LineLabel::measured() const
{
    ensurePolished();
    const Measured now{text(), font(), contentsMargins(), margin(), alignment(), minimumSize()};
    if (m_size && now == m_for)
        return *m_size;
    // As QLabel measures a plain text: its box at any width (unwrapped, it
    // has one), centring left out, plus the margin either side and the
    // contents margins, never below the minimum size.
    const Qt::LayoutDirection direction = now.text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    const int flags = int(QStyle::visualAlignment(direction, now.alignment)) & ~int(Qt::AlignVCenter | Qt::AlignHCenter);
    const int extra = 2 * now.margin;
    const int width = 2000 - extra - (now.margins.left() + now.margins.right());
    const QRect box = fontMetrics().boundingRect(0, 0, width, 2000, flags, now.text);
    const QSize size = QSize(box.width() + extra + now.margins.left() + now.margins.right(),
                             box.height() + extra + now.margins.top() + now.margins.bottom())
                           .expandedTo(now.minimum);
    m_for = now;
    m_size = size;
    return size;
}

QSize LineLabel::sizeHint() const
{
    if (isOneLine())
        return oneLineSize();
    // The measure of a plain text of other lines holds no indent.
    return plainText() && indent() <= 0 ? measured() : QLabel::sizeHint();
}

QSize LineLabel::minimumSizeHint() const
{
    if (isOneLine())
        return oneLineSize();
    return plainText() && indent() <= 0 ? measured() : QLabel::minimumSizeHint();
}

void LineLabel::paintEvent(QPaintEvent* event)
{
    if (!isOneLine() || !isEnabled())
        return QLabel::paintEvent(event);
    QPainter p(this);
    const TextLine& l = line();
    if (p.font() != l.font()) {
        p.end();
        return QLabel::paintEvent(event);
    }
    // Where QLabel's style draws the text: the contents less margin and
    // indent, the line placed in it as drawText places it.
    const Qt::Alignment align = QStyle::visualAlignment(l.direction(), alignment());
    QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    if (const int m = indent(); m > 0) {
        if (align & Qt::AlignLeft)
            r.setLeft(r.left() + m);
        if (align & Qt::AlignRight)
            r.setRight(r.right() - m);
        if (align & Qt::AlignTop)
            r.setTop(r.top() + m);
        if (align & Qt::AlignBottom)
            r.setBottom(r.bottom() - m);
    }
    QStyleOption opt;
    opt.initFrom(this);
    p.setPen(QPen(opt.palette.brush(foregroundRole()), p.pen().widthF()));
    l.draw(p, QRectF(r), align);
}
