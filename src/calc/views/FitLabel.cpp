#include "calc/views/FitLabel.h"

#include <cmath>

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QResizeEvent>

FitLabel::FitLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void FitLabel::setBaseFont(const QFont& font)
{
    m_base = font;
    refit();
    updateGeometry();
}

void FitLabel::setMinimumScale(qreal scale)
{
    m_minScale = scale;
    refit();
}

void FitLabel::setFittedText(const QString& text)
{
    if (text == this->text())
        return;
    setText(text);
    refit();
}

void FitLabel::fillDocument()
{
    // A selectable label fills and lays out the document it shows its text
    // with when it is next painted, once its text, font or size changed, and
    // that asks for another painting: the frame after a change would be
    // followed by a second one. Done now, as the label is measured, the frame
    // that shows the text is the last.
    if (textInteractionFlags() != Qt::NoTextInteraction)
        (void)QLabel::heightForWidth(width());
}

void FitLabel::setLineHeight(int height)
{
    m_lineHeight = height;
    updateGeometry();
}

QSize FitLabel::sizeHint() const
{
    // An empty text is measured without the font being loaded.
    const QFontMetricsF fm(m_base);
    const QMargins m = contentsMargins();
    const int line = m_lineHeight > 0 ? m_lineHeight : int(std::ceil(fm.height()));
    return QSize(int(std::ceil(fm.horizontalAdvance(text()))) + m.left() + m.right(), line + m.top() + m.bottom());
}

QSize FitLabel::minimumSizeHint() const
{
    const QSize s = sizeHint();
    return QSize(0, s.height());
}

void FitLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    refit();
}

void FitLabel::refit()
{
    const qreal available = contentsRect().width() - 2;
    const QFontMetricsF fm(m_base);
    const qreal natural = fm.horizontalAdvance(text());
    qreal scale = 1;
    if (natural > 0 && available > 0 && natural > available)
        scale = std::max(m_minScale, available / natural);
    m_scale = scale;
    QFont f = m_base;
    if (m_base.pixelSize() > 0)
        f.setPixelSize(std::max(1, int(std::floor(m_base.pixelSize() * scale))));
    else
        f.setPointSizeF(std::max(1.0, m_base.pointSizeF() * scale));
    if (font() != f)
        setFont(f);
    fillDocument();
}

void FitLabel::setCopyable(bool copyable)
{
    setTextInteractionFlags(copyable ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                     : Qt::NoTextInteraction);
    setFocusPolicy(copyable ? Qt::ClickFocus : Qt::NoFocus);
    fillDocument();
}

void FitLabel::copy()
{
    const QString selected = selectedText();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(selected.isEmpty() ? text() : selected);
}

void FitLabel::selectAll()
{
    setSelection(0, int(text().size()));
}

bool FitLabel::validateAction(const QString& action) const
{
    return (action == QLatin1String("copy") || action == QLatin1String("selectAll")) && !text().isEmpty()
        && textInteractionFlags().testFlag(Qt::TextSelectableByMouse);
}

void FitLabel::keyPressEvent(QKeyEvent* event)
{
    if (textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard)) {
        if (event->matches(QKeySequence::Copy)) {
            copy();
            event->accept();
            return;
        }
        if (event->matches(QKeySequence::SelectAll)) {
            selectAll();
            event->accept();
            return;
        }
    }
    QLabel::keyPressEvent(event);
}

void FitLabel::contextMenuEvent(QContextMenuEvent* event)
{
    if (!textInteractionFlags().testFlag(Qt::TextSelectableByMouse) || text().isEmpty()) {
        QLabel::contextMenuEvent(event);
        return;
    }
    QMenu menu(this);
    menu.addAction(QStringLiteral("Copy"), this, &FitLabel::copy);
    menu.addAction(QStringLiteral("Select All"), this, &FitLabel::selectAll);
    menu.exec(event->globalPos());
}
