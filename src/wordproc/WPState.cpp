#include "wordproc/WPState.h"

#include "wordproc/WPCommands.h"
#include "wordproc/WPText.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTimer>

WPState::WPState(bool autocorrect, QObject* parent)
    : QObject(parent)
    , m_fontFamily(WPCommands::defaultFont().family())
    , m_autocorrect(autocorrect)
{
}

namespace {
template <typename T, typename Signal>
void assign(WPState* s, T& field, const T& value, Signal signal)
{
    if (field == value)
        return;
    field = value;
    Q_EMIT(s->*signal)();
}
} // namespace

void WPState::setColor(const QColor& color)
{
    assign(this, m_color, color, &WPState::colorChanged);
}

void WPState::setHighlight(const QColor& color)
{
    assign(this, m_highlight, color, &WPState::highlightChanged);
}

void WPState::setAutocorrect(bool on)
{
    assign(this, m_autocorrect, on, &WPState::autocorrectChanged);
}

void WPState::setCounts(int words, int characters, int pages)
{
    if (words == m_words && characters == m_characters && pages == m_pages)
        return;
    m_words = words;
    m_characters = characters;
    m_pages = pages;
    Q_EMIT countsChanged();
}

void WPState::readSelection(const QTextCharFormat& format, const QTextBlockFormat& paragraph)
{
    const QFont font = WPCommands::fontOf(format);
    const QString family = font.family().isEmpty() ? WPCommands::defaultFont().family() : font.family();
    assign(this, m_fontFamily, family, &WPState::fontFamilyChanged);
    assign(this, m_fontSize, WPCommands::pointSize(font), &WPState::fontSizeChanged);
    assign(this, m_bold, font.bold(), &WPState::boldChanged);
    assign(this, m_italic, font.italic(), &WPState::italicChanged);
    assign(this, m_underline, WPCommands::underlineStyle(format) != 0, &WPState::underlineChanged);
    assign(this, m_strike, WPCommands::strikeStyle(format) != 0, &WPState::strikeChanged);
    const int align = paragraph.hasProperty(QTextFormat::BlockAlignment)
        ? int(paragraph.alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute)
        : 0;
    assign(this, m_alignment, align, &WPState::alignmentChanged);

    suppressColorEvents = true;
    const QBrush fg = format.foreground();
    setColor(fg.style() == Qt::NoBrush ? QColor(Qt::black) : fg.color());
    const QBrush bg = format.background();
    setHighlight(bg.style() == Qt::NoBrush ? QColor(Qt::transparent) : bg.color());
    QTimer::singleShot(0, this, [this] {
        suppressColorEvents = false;
    });
}
