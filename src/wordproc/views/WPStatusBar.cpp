#include "wordproc/views/WPStatusBar.h"

#include "ui/Chrome.h"
#include "ui/Fonts.h"
#include "wordproc/WPState.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

WPStatusBar::WPStatusBar(WPState* state, QWidget* parent)
    : QWidget(parent)
    , m_state(state)
    , m_words(new QLabel(this))
    , m_characters(new QLabel(this))
    , m_pages(new QLabel(this))
{
    setObjectName(QStringLiteral("wpStatusBar"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 5, 14, 5);
    row->setSpacing(16);
    QFont regular = Fonts::system(11, QFont::Medium, Fonts::Design::Rounded);
    QFont bold = Fonts::system(11, QFont::Bold, Fonts::Design::Rounded);
    QPalette p = palette();
    QColor ink = Chrome::ink();
    ink.setAlphaF(0.8f);
    p.setColor(QPalette::WindowText, ink);
    auto* spelling = new QLabel(QStringLiteral("Spelling & grammar: checking as you type"), this);
    auto* product = new QLabel(QStringLiteral("Brindleworks by Corvandel Softworks"), this);
    for (QLabel* l : {m_words, m_characters, m_pages, spelling, product}) {
        l->setFont(l == m_words ? bold : regular);
        l->setPalette(p);
    }
    m_words->setObjectName(QStringLiteral("words"));
    m_characters->setObjectName(QStringLiteral("characters"));
    m_pages->setObjectName(QStringLiteral("pages"));
    row->addWidget(m_words, 0, Qt::AlignVCenter);
    row->addWidget(m_characters, 0, Qt::AlignVCenter);
    row->addWidget(m_pages, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(spelling, 0, Qt::AlignVCenter);
    row->addWidget(product, 0, Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(state, &WPState::countsChanged, this, &WPStatusBar::refresh);
    refresh();
}

QString WPStatusBar::wordsText(int words)
{
    return QString::number(words) + QStringLiteral(" words");
}

QString WPStatusBar::charactersText(int characters)
{
    return QString::number(characters) + QStringLiteral(" characters");
}

QString WPStatusBar::pagesText(int pages)
{
    if (pages < 0)
        return QStringLiteral("Counting pages\u2026");
    return QString::number(pages) + (pages == 1 ? QStringLiteral(" page") : QStringLiteral(" pages"));
}

QString WPStatusBar::text() const
{
    return m_words->text() + QLatin1Char(' ') + m_characters->text() + QLatin1Char(' ') + m_pages->text();
}

void WPStatusBar::refresh()
{
    m_words->setText(wordsText(m_state->words()));
    m_characters->setText(charactersText(m_state->characters()));
    m_pages->setText(pagesText(m_state->pages()));
}

void WPStatusBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Chrome::satin(rect()));
}
