#include "notes/views/StickyManagerView.h"

#include "notes/StickyPalette.h"
#include "notes/StickyStore.h"
#include "notes/views/StickyColorDot.h"
#include "notes/views/StickyNoteCard.h"
#include "notes/views/StickyWindows.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/Fonts.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

QColor secondaryText()
{
    return QColor::fromRgbF(0, 0, 0, 0.5f);
}

QLabel* secondaryLabel(const QString& text, const QFont& font, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, secondaryText());
    label->setPalette(p);
    return label;
}

} // namespace

StickyManagerView::StickyManagerView() : StickyManagerView(StickyStore::shared())
{
    StickyWindows::shared();
}

StickyManagerView::StickyManagerView(StickyStore& store, int newColor, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_newColor(newColor)
{
    setObjectName(QStringLiteral("stickyManagerView"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(12);

    auto* newRow = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("New note color:"), this);
    caption->setFont(Fonts::system(12, QFont::DemiBold, Fonts::Design::Rounded));
    newRow->addWidget(caption);
    for (int i = 0; i < StickyPalette::count; ++i) {
        auto* dot = new StickyColorDot(22, Chrome::toColor(StickyPalette::colors().at(i)), this);
        dot->setToolTip(StickyPalette::names().at(i));
        connect(dot, &QAbstractButton::clicked, this, [this, i] { setNewColor(i); });
        newRow->addWidget(dot);
        m_dots.append(dot);
    }
    newRow->addStretch(1);
    m_newButton = new ChromeButton(QStringLiteral("New Sticky Note"), true, false, this);
    connect(m_newButton, &QAbstractButton::clicked, this, [this] { m_store.newNote(m_newColor, QString()); });
    // A click leaves the keyboard where it was: the new note does not take
    // the focus, and a Space typed next must not make a second note.
    m_newButton->setFocusPolicy(Qt::TabFocus);
    newRow->addWidget(m_newButton);
    column->addLayout(newRow);

    auto* bulkRow = new QHBoxLayout;
    m_showAll = new ChromeButton(QStringLiteral("Show All Notes"), false, true, this);
    connect(m_showAll, &QAbstractButton::clicked, this, [this] {
        const QList<StickyNote> snapshot = m_store.notes();
        for (const StickyNote& n : snapshot)
            m_store.show(n.id);
    });
    m_hideAll = new ChromeButton(QStringLiteral("Hide All Notes"), false, true, this);
    connect(m_hideAll, &QAbstractButton::clicked, this, [this] {
        const QList<StickyNote> snapshot = m_store.notes();
        for (const StickyNote& n : snapshot)
            m_store.hide(n.id);
    });
    bulkRow->addWidget(m_showAll);
    bulkRow->addWidget(m_hideAll);
    bulkRow->addStretch(1);
    m_count = secondaryLabel(QString(), Fonts::style(Fonts::TextStyle::Caption), this);
    bulkRow->addWidget(m_count);
    column->addLayout(bulkRow);

    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setAutoFillBackground(false);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_scroll->viewport()->installEventFilter(this);
    m_gridHost = new QWidget(m_scroll);
    m_gridHost->setAutoFillBackground(false);
    m_grid = new QGridLayout(m_gridHost);
    m_grid->setContentsMargins(kGridPadding, kGridPadding, kGridPadding, kGridPadding);
    m_grid->setHorizontalSpacing(kGridSpacing);
    m_grid->setVerticalSpacing(kGridSpacing);
    m_grid->setAlignment(Qt::AlignTop);
    m_scroll->setWidget(m_gridHost);
    column->addWidget(m_scroll, 1);

    m_empty = secondaryLabel(emptyText(), Fonts::style(Fonts::TextStyle::Callout), this);
    m_empty->setWordWrap(true);
    column->addWidget(m_empty);
    // With no cards the scroll area steps aside and the text sits under
    // the buttons.
    column->addStretch(0);

    setNewColor(newColor);
    connect(&m_store, &StickyStore::notesChanged, this, &StickyManagerView::rebuild);
    rebuild();
}

QString StickyManagerView::countLine(qsizetype count)
{
    return QString::number(count) + QStringLiteral(" note") + (count == 1 ? QString() : QStringLiteral("s"))
        + QStringLiteral(" • saved automatically");
}

int StickyManagerView::columnsFor(int width)
{
    const int inner = width - 2 * kGridPadding;
    return qMax(1, (inner + kGridSpacing) / (kMinColumnWidth + kGridSpacing));
}

QString StickyManagerView::emptyText()
{
    return QStringLiteral("No notes yet. Click “New Sticky Note” — notes stay on your desktop, can be resized, "
                          "and come back every time you open Brindleworks.");
}

void StickyManagerView::setNewColor(int index)
{
    m_newColor = index;
    for (int i = 0; i < m_dots.size(); ++i) {
        if (i == index)
            m_dots[i]->setRing(Chrome::ink(), 2.5);
        else
            m_dots[i]->setRing(QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.4f), 1);
    }
}

QList<StickyNoteCard*> StickyManagerView::cards() const
{
    return m_cards;
}

void StickyManagerView::rebuild()
{
    const QList<StickyNote>& notes = m_store.notes();
    QHash<QUuid, StickyNoteCard*> existing;
    for (StickyNoteCard* c : std::as_const(m_cards))
        existing.insert(c->id(), c);
    QList<StickyNoteCard*> cards;
    cards.reserve(notes.size());
    for (const StickyNote& n : notes) {
        StickyNoteCard* card = existing.take(n.id);
        if (!card)
            card = new StickyNoteCard(n.id, m_store, m_gridHost);
        card->setNote(n);
        cards.append(card);
    }
    for (StickyNoteCard* gone : std::as_const(existing)) {
        m_grid->removeWidget(gone);
        // The card's own delete button may be what removed the note.
        gone->hide();
        gone->deleteLater();
    }
    const bool orderChanged = cards != m_cards;
    m_cards = cards;
    m_count->setText(countLine(notes.size()));
    m_empty->setVisible(notes.isEmpty());
    m_scroll->setVisible(!notes.isEmpty());
    if (orderChanged)
        layoutCards();
}

void StickyManagerView::layoutCards()
{
    const int width = m_scroll->viewport()->width();
    m_columns = columnsFor(width);
    for (StickyNoteCard* c : std::as_const(m_cards))
        m_grid->removeWidget(c);
    for (int c = 0; c < m_grid->columnCount(); ++c) {
        m_grid->setColumnStretch(c, 0);
        m_grid->setColumnMinimumWidth(c, 0);
    }
    for (int i = 0; i < m_cards.size(); ++i)
        m_grid->addWidget(m_cards[i], i / m_columns, i % m_columns);
    for (int c = 0; c < m_columns; ++c) {
        m_grid->setColumnStretch(c, 1);
        m_grid->setColumnMinimumWidth(c, kMinColumnWidth);
    }
}

bool StickyManagerView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize) {
        if (columnsFor(m_scroll->viewport()->width()) != m_columns)
            layoutCards();
    }
    return QWidget::eventFilter(watched, event);
}
