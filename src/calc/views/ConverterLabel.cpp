#include "calc/views/ConverterLabel.h"

#include <QStyle>

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

bool ConverterLabel::isOneLine() const
{
    return textFormat() == Qt::PlainText && !wordWrap()
           && !(textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard | Qt::TextEditable))
           && !buddy() && pixmap().isNull() && !text().contains(QLatin1Char('\n'))
           && !text().contains(QChar::LineSeparator);
}

QSize ConverterLabel::sizeHint() const
{
    if (!isOneLine())
        return QLabel::sizeHint();
    ensurePolished();
    const QString t = text();
    if (m_hint.isValid() && t == m_hintText && font() == m_hintFont && alignment() == m_hintAlignment)
        return m_hint;
    // As QLabel sizes a label of one unwrapped line: its three measures
    // then agree, so one does.
    const QFontMetrics fm = fontMetrics();
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    int hextra = 2 * margin();
    int vextra = hextra;
    int m = indent();
    if (m < 0 && frameWidth())
        m = fm.horizontalAdvance(QLatin1Char('x')) - margin() * 2;
    if (m > 0) {
        if ((align & Qt::AlignLeft) || (align & Qt::AlignRight))
            hextra += m;
        if ((align & Qt::AlignTop) || (align & Qt::AlignBottom))
            vextra += m;
    }
    const QMargins cm = contentsMargins();
    const int flags = int(align & ~(Qt::AlignVCenter | Qt::AlignHCenter));
    const int w = std::max(2000, minimumWidth()) - (hextra + cm.left() + cm.right());
    const QRect br = fm.boundingRect(0, 0, w, 2000, flags, t);
    m_hint = QSize(br.width() + hextra + cm.left() + cm.right(), br.height() + vextra + cm.top() + cm.bottom())
                 .expandedTo(minimumSize());
    m_hintText = t;
    m_hintFont = font();
    m_hintAlignment = alignment();
    return m_hint;
}

QSize ConverterLabel::minimumSizeHint() const
{
    return isOneLine() ? sizeHint() : QLabel::minimumSizeHint();
}
