#include "ui/WrapLabel.h"

WrapLabel::WrapLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
}

void WrapLabel::checkKept() const
{
    const Measured now{text(), font(), contentsMargins(), margin(), indent(), alignment(), sizePolicy()};
    if (now == m_for)
        return;
    m_for = now;
    m_hint.reset();
    m_minimum.reset();
    m_heights.clear();
}

QSize WrapLabel::sizeHint() const
{
    checkKept();
    if (!m_hint)
        m_hint = QLabel::sizeHint();
    return *m_hint;
}

QSize WrapLabel::minimumSizeHint() const
{
    checkKept();
    if (!m_minimum)
        m_minimum = QLabel::minimumSizeHint();
    return *m_minimum;
}

int WrapLabel::heightForWidth(int width) const
{
    checkKept();
    const auto kept = m_heights.constFind(width);
    if (kept != m_heights.cend())
        return *kept;
    if (m_heights.size() > 64)
        m_heights.clear();
    const int height = QLabel::heightForWidth(width);
    m_heights.insert(width, height);
    return height;
}
