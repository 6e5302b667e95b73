#include "notes/views/StickyNoteView.h"

#include "notes/StickyPalette.h"
#include "notes/StickyStore.h"
#include "notes/views/StickyColorDot.h"
#include "notes/views/StickySymbolButton.h"
#include "ui/Alert.h"
#include "ui/Chrome.h"
#include "ui/Fonts.h"
#include "ui/SpellTextView.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The header strip: a faint dark band behind the dots and buttons.
class NoteHeader : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor::fromRgbF(0, 0, 0, 0.05f));
    }
};

const QColor kHeaderInk = QColor::fromRgbF(0, 0, 0, 0.6f);

} // namespace

QFont StickyNoteView::noteFont()
{
    Fonts::ensureLoaded();
    const QString marker = QStringLiteral("Marker Felt");
    if (QFontDatabase::hasFamily(Fonts::nearestFamily(marker)))
        return Fonts::named(marker, 17);
    return Fonts::system(16);
}

StickyNoteView::StickyNoteView(const QUuid& id, StickyStore& store, QWidget* parent)
    : QWidget(parent)
    , m_id(id)
    , m_store(store)
{
    setObjectName(QStringLiteral("stickyNoteView"));
    // The note colour is the window's background: draw none here.
    setAutoFillBackground(false);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_header = new NoteHeader(this);
    auto* row = new QHBoxLayout(m_header);
    row->setContentsMargins(8, 6, 8, 4);
    row->setSpacing(6);
    // The window's own buttons: a frameless note draws its close button in
    // the space kept for them. It closes the window as the window system's
    // close does, which hides the note.
    m_close = new StickySymbolButton(QStringLiteral("xmark"), 11, kHeaderInk, m_header);
    m_close->setObjectName(QStringLiteral("closeNote"));
    m_close->setToolTip(QStringLiteral("Close note (it stays in Sticky Notes)"));
    connect(m_close, &QAbstractButton::clicked, this, [this] { window()->close(); });
    row->addWidget(m_close, 0, Qt::AlignVCenter);
    row->addSpacing(kWindowButtonsWidth - m_close->width());
    for (int i = 0; i < StickyPalette::count; ++i) {
        auto* dot = new StickyColorDot(13, Chrome::toColor(StickyPalette::colors().at(i)), m_header);
        dot->setToolTip(StickyPalette::names().at(i));
        connect(dot, &QAbstractButton::clicked, this, [this, i] { m_store.setColor(m_id, i); });
        row->addWidget(dot, 0, Qt::AlignVCenter);
        m_dots.append(dot);
    }
    row->addStretch(1);
    m_pin = new StickySymbolButton(QStringLiteral("pin"), 11, kHeaderInk, m_header);
    connect(m_pin, &QAbstractButton::clicked, this, [this] {
        const std::optional<StickyNote> n = m_store.note(m_id);
        m_store.setOnTop(m_id, !(n && n->onTop));
    });
    m_new = new StickySymbolButton(QStringLiteral("plus"), 11, kHeaderInk, m_header);
    m_new->setToolTip(QStringLiteral("New sticky note"));
    connect(m_new, &QAbstractButton::clicked, this, [this] {
        const std::optional<StickyNote> n = m_store.note(m_id);
        m_store.newNote(n ? n->colorIndex : 0, QString());
    });
    m_delete = new StickySymbolButton(QStringLiteral("trash"), 11, kHeaderInk, m_header);
    m_delete->setToolTip(QStringLiteral("Delete note"));
    connect(m_delete, &QAbstractButton::clicked, this, &StickyNoteView::confirmDelete);
    for (QWidget* b : {static_cast<QWidget*>(m_pin), static_cast<QWidget*>(m_new), static_cast<QWidget*>(m_delete)})
        row->addWidget(b, 0, Qt::AlignVCenter);
    column->addWidget(m_header);

    const std::optional<StickyNote> n = m_store.note(m_id);
    m_editor = new SpellTextView(n ? n->text : QString(), noteFont(), Qt::transparent, false, Qt::black, true, this);
    m_editor->setFrameShape(QFrame::NoFrame);
    auto* editorBox = new QHBoxLayout;
    editorBox->setContentsMargins(6, 0, 6, 6);
    editorBox->addWidget(m_editor);
    column->addLayout(editorBox, 1);
    connect(m_editor, &SpellTextView::textEdited, this, [this](const QString& text) { m_store.setText(m_id, text); });

    connect(&m_store, &StickyStore::noteChanged, this, [this](const QUuid& changed) {
        if (changed == m_id)
            refresh();
    });
    connect(&m_store, &StickyStore::notesChanged, this, [this] {
        // A deleted note leaves the view on its fresh-note defaults.
        if (!m_store.index(m_id))
            refresh();
    });
    refresh();
}

void StickyNoteView::showNote(const QUuid& id)
{
    m_id = id;
    refresh();
}

void StickyNoteView::refresh()
{
    const StickyNote n = m_store.note(m_id).value_or(StickyNote{});
    for (int i = 0; i < m_dots.size(); ++i) {
        if (n.colorIndex == i)
            m_dots[i]->setRing(QColor::fromRgbF(0, 0, 0, 0.6f), 2);
        else
            m_dots[i]->setRing(QColor::fromRgbF(0, 0, 0, 0.2f), 1);
    }
    m_pin->setSymbol(n.onTop ? QStringLiteral("pin.fill") : QStringLiteral("pin"));
    m_pin->setToolTip(n.onTop ? QStringLiteral("Stop floating on top") : QStringLiteral("Float on top of other windows"));
    m_editor->setText(n.text);
}

void StickyNoteView::confirmDelete()
{
    const std::optional<StickyNote> n = m_store.note(m_id);
    if (n && !n->text.isEmpty() && !askToDelete())
        return;
    m_store.deleteNote(m_id);
}

bool StickyNoteView::askToDelete()
{
    return runAlert(QStringLiteral("Delete this note?"), QStringLiteral("This can’t be undone."), AlertStyle::Warning,
                    {QStringLiteral("Delete"), QStringLiteral("Cancel")})
        == alertFirstButton;
}
