#include "ui/SpellTextView.h"

#include "ui/SpellHighlighter.h"
#include "ui/TextChecker.h"

#include <QMimeData>
#include <QScrollBar>

SpellTextView::SpellTextView(QWidget* parent)
    : SpellTextView(QString(), QFont(), Qt::white, true, Qt::black, true, parent)
{
}

SpellTextView::SpellTextView(const QString& text, const QFont& font, const QColor& background, bool drawsBackground,
                             const QColor& textColor, bool editable, QWidget* parent)
    : QPlainTextEdit(parent), m_background(background), m_drawsBackground(drawsBackground), m_textColor(textColor),
      m_editable(editable)
{
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setUndoRedoEnabled(true);
    setTabChangesFocus(false);
    document()->setDocumentMargin(0);
    setViewportMargins(4, 6, 4, 6);
    m_checker = TextChecker::attach(this);
    if (font != QFont())
        setFont(font);
    applyLook();
    m_settingText = true;
    setPlainText(text);
    m_settingText = false;
    connect(this, &QPlainTextEdit::textChanged, this, &SpellTextView::onContentsChanged);
}

QString SpellTextView::text() const
{
    return toPlainText();
}

void SpellTextView::setText(const QString& text)
{
    if (m_editing || toPlainText() == text)
        return;
    m_settingText = true;
    setPlainText(text);
    m_settingText = false;
}

void SpellTextView::onContentsChanged()
{
    if (m_settingText)
        return;
    m_editing = true;
    Q_EMIT textEdited(toPlainText());
    m_editing = false;
}

void SpellTextView::setTextFont(const QFont& font)
{
    setFont(font);
}

void SpellTextView::setBackground(const QColor& color)
{
    m_background = color;
    applyLook();
}

void SpellTextView::setDrawsBackground(bool on)
{
    m_drawsBackground = on;
    applyLook();
}

void SpellTextView::setTextColor(const QColor& color)
{
    m_textColor = color;
    applyLook();
}

void SpellTextView::setEditable(bool editable)
{
    m_editable = editable;
    applyLook();
}

void SpellTextView::applyLook()
{
    QPalette p = palette();
    const QColor fill = m_drawsBackground ? m_background : QColor(Qt::transparent);
    p.setColor(QPalette::Base, fill);
    p.setColor(QPalette::Window, fill);
    // The caret is drawn in the Text colour: black, whatever the text's own
    // colour, which the highlighter paints.
    p.setColor(QPalette::Text, Qt::black);
    setPalette(p);
    setAutoFillBackground(m_drawsBackground);
    viewport()->setAutoFillBackground(m_drawsBackground);
    m_checker->highlighter()->setTextColor(m_textColor);
    setReadOnly(!m_editable);
    if (m_editable)
        setTextInteractionFlags(Qt::TextEditorInteraction);
    else
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_checker->setSwitches(m_checker->switches());
}

bool SpellTextView::canInsertFromMimeData(const QMimeData* source) const
{
    return source && !source->formats().isEmpty() && QPlainTextEdit::canInsertFromMimeData(source);
}

void SpellTextView::insertFromMimeData(const QMimeData* source)
{
    if (source && !source->formats().isEmpty())
        QPlainTextEdit::insertFromMimeData(source);
}
