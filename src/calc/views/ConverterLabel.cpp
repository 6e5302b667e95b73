#include "calc/views/ConverterLabel.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTextLayout>

#include <cmath>

ConverterLabel::ConverterLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    setFont(font);
    if (color.isValid()) {
        QPalette p = palette();
        p.setColor(QPalette::WindowText, color);
        setPalette(p);
    }
}

ConverterLabel::~ConverterLabel() = default;

bool ConverterLabel::isOneLine() const
{
    const QString t = text();
    return textFormat() == Qt::PlainText && !wordWrap()
           && !(textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard | Qt::TextEditable))
           && !buddy() && pixmap().isNull() && frameWidth() == 0 && !t.isEmpty() && !t.front().isSpace()
           && !t.back().isSpace() && !t.contains(QLatin1Char('\n')) && !t.contains(QLatin1Char('\t'))
           && !t.contains(QChar::LineSeparator) && !t.contains(QChar(0x9c));
}

const QTextLayout& ConverterLabel::line() const
{
    const QString t = text();
    const QFont f = font();
    if (m_line && t == m_lineText && f == m_lineFont)
        return *m_line;
    m_line = std::make_unique<QTextLayout>(t, f);
    m_lineText = t;
    m_lineFont = f;
    QTextOption option;
    option.setTextDirection(t.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    m_line->setTextOption(option);
    m_line->setCacheEnabled(true);
    m_line->beginLayout();
    QTextLine l = m_line->createLine();
    if (l.isValid()) {
        l.setLineWidth(0x01000000);
        l.setPosition(QPointF(0, 0));
    }
    m_line->endLayout();
    return *m_line;
}

QSize ConverterLabel::sizeHint() const
{
    if (!isOneLine())
        return QLabel::sizeHint();
    ensurePolished();
    // As QLabel sizes a label of one unwrapped line (its three measures then
    // agree): the line's bounds, the indent on aligned sides, the margins.
    const QTextLayout& layout = line();
    if (layout.lineCount() == 0)
        return QLabel::sizeHint();
    const QTextLine l = layout.lineAt(0);
    const Qt::Alignment align =
        QStyle::visualAlignment(text().isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight, alignment());
    int hextra = 2 * margin();
    int vextra = hextra;
    if (indent() > 0) {
        if (align & (Qt::AlignLeft | Qt::AlignRight))
            hextra += indent();
        if (align & (Qt::AlignTop | Qt::AlignBottom))
            vextra += indent();
    }
    const QMargins cm = contentsMargins();
    const QSize text(int(std::ceil(l.naturalTextWidth())), int(std::ceil(l.ascent() + l.descent())));
    return QSize(text.width() + hextra + cm.left() + cm.right(), text.height() + vextra + cm.top() + cm.bottom())
        .expandedTo(minimumSize());
}

QSize ConverterLabel::minimumSizeHint() const
{
    return isOneLine() ? sizeHint() : QLabel::minimumSizeHint();
}

void ConverterLabel::paintEvent(QPaintEvent* event)
{
    if (!isOneLine() || !isEnabled())
        return QLabel::paintEvent(event);
    QPainter p(this);
    const QTextLayout& layout = line();
    if (layout.lineCount() == 0 || p.font() != m_lineFont) {
        p.end();
        return QLabel::paintEvent(event);
    }
    // Where QLabel's style draws the text: the contents less margin and
    // indent, the line placed in it as drawText places it.
    const Qt::LayoutDirection direction = text().isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    const Qt::Alignment align = QStyle::visualAlignment(direction, alignment());
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
    const QTextLine l = layout.lineAt(0);
    const qreal height = l.ascent() + l.descent();
    const qreal width = l.naturalTextWidth();
    qreal yoff = 0;
    if (align & Qt::AlignBottom)
        yoff = r.height() - height;
    else if (align & Qt::AlignVCenter)
        yoff = (r.height() - height) / 2;
    qreal boundsX = 0;
    qreal x = 0;
    if (align & Qt::AlignRight) {
        boundsX = r.width() - width;
        x = r.width() - l.horizontalAdvance();
    } else if (align & Qt::AlignHCenter) {
        boundsX = (r.width() - width) / 2;
        x = (r.width() - l.horizontalAdvance()) / 2;
    }
    QStyleOption opt;
    opt.initFrom(this);
    p.setPen(QPen(opt.palette.brush(foregroundRole()), p.pen().widthF()));
    const QRectF bounds(r.x() + boundsX, r.y() + yoff, width, height);
    if (!QRectF(r).contains(bounds))
        p.setClipRect(r, Qt::IntersectClip);
    l.draw(&p, QPointF(r.x() + x, r.y() + yoff));
}
