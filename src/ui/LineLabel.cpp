#include "ui/LineLabel.h"

#include <QStyle>

LineLabel::LineLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
}

bool LineLabel::plainLine() const
{
    return textFormat() == Qt::PlainText && !wordWrap() && !buddy() && indent() <= 0 && frameWidth() == 0
           && pixmap().isNull() && picture().isNull() && !movie();
}

QSize LineLabel::measured() const
{
    ensurePolished();
    const Measured now{text(), font(), contentsMargins(), margin(), alignment(), minimumSize()};
    if (m_size && now == m_for)
        return *m_size;
    // As QLabel measures a plain text: its box at any width (one line has
    // one), centring left out, plus the margin either side and the contents
    // margins, never below the minimum size.
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
    return plainLine() ? measured() : QLabel::sizeHint();
}

QSize LineLabel::minimumSizeHint() const
{
    return plainLine() ? measured() : QLabel::minimumSizeHint();
}
